#pragma once
// The steps both back ends share, each reporting a failure under the back end's own names.
#include <cstdint>
#include <memory>
#include <string>

#include "log/Log.h"

namespace platform {
class IHttpTransfer;
}

struct RequestStepNames {
    ErrorTextLookup lookup;  // explains the library's codes
    const char* pszContext;
};

bool ConnectTransfer(platform::IHttpTransfer& transfer, const std::wstring& strHost, int nPort, bool bHttps,
                     const char* pszApi, const RequestStepNames& names);
bool OpenTransferRequest(platform::IHttpTransfer& transfer, const std::wstring& strVerb, const std::wstring& strObject,
                         const char* pszApi, const RequestStepNames& names);
bool AddTransferHeaders(platform::IHttpTransfer& transfer, const std::wstring& strHeaders, const char* pszApi,
                        const RequestStepNames& names);
bool SendTransfer(platform::IHttpTransfer& transfer, const char* pszApi, const RequestStepNames& names);
// Rejects a response whose status is not a success.
bool CheckTransferStatus(platform::IHttpTransfer& transfer, const char* pszApi, const RequestStepNames& names);
bool ReadContentLength(platform::IHttpTransfer& transfer, std::int32_t& nSize, const char* pszApi,
                       const RequestStepNames& names);
std::int32_t ReadTransfer(platform::IHttpTransfer& transfer, char* pBuffer, std::int32_t nSize, const char* pszApi,
                          const RequestStepNames& names);
