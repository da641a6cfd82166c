#include "tool/RequestSteps.h"

#include "platform/HttpTransfer.h"
#include "platform/Text.h"
#include "tool/BaseRequest.h"

bool ConnectTransfer(platform::IHttpTransfer& transfer, const std::wstring& strHost, int nPort, bool bHttps,
                     const char* pszApi, const RequestStepNames& names) {
    if (transfer.Connect(platform::WideToUtf8(strHost), nPort, bHttps)) return true;
    ShowApiError(pszApi, transfer.LastError(), names.lookup, names.pszContext);
    return false;
}

bool OpenTransferRequest(platform::IHttpTransfer& transfer, const std::wstring& strVerb, const std::wstring& strObject,
                         const char* pszApi, const RequestStepNames& names) {
    if (transfer.OpenRequest(platform::WideToUtf8(strVerb), platform::WideToUtf8(strObject))) return true;
    ShowApiError(pszApi, transfer.LastError(), names.lookup, names.pszContext);
    return false;
}

bool AddTransferHeaders(platform::IHttpTransfer& transfer, const std::wstring& strHeaders, const char* pszApi,
                        const RequestStepNames& names) {
    if (strHeaders.empty() || transfer.AddHeaders(platform::WideToUtf8(strHeaders))) return true;
    ShowApiError(pszApi, transfer.LastError(), names.lookup, names.pszContext);
    return false;
}

bool SendTransfer(platform::IHttpTransfer& transfer, const char* pszApi, const RequestStepNames& names) {
    if (transfer.Send()) return true;
    ShowApiError(pszApi, transfer.LastError(), names.lookup, names.pszContext);
    return false;
}

bool CheckTransferStatus(platform::IHttpTransfer& transfer, const char* pszApi, const RequestStepNames& names) {
    int nStatus = transfer.StatusCode();
    if (nStatus >= 200 && nStatus <= 299) return true;
    ShowApiError(pszApi, static_cast<unsigned long>(nStatus), platform::HttpResponseErrorText, names.pszContext);
    return false;
}

bool ReadContentLength(platform::IHttpTransfer& transfer, std::int32_t& nSize, const char* pszApi,
                       const RequestStepNames& names) {
    std::string strLength;
    if (!transfer.ResponseHeader("Content-Length", strLength)) {
        ShowApiError(pszApi, platform::kHttpErrorHeaderNotFound, platform::HttpResponseErrorText, names.pszContext);
        return false;
    }
    if (!ParseContentLength(strLength, nSize)) {
        // Sizes of 2 GiB and more do not fit the downloader's 32-bit offsets.
        LOG_INFO("ERR: Content-Length (%s) is not a size below 2 GiB", strLength.c_str());
        ShowApiError(pszApi, platform::kHttpErrorBadHeaderValue, platform::HttpResponseErrorText, names.pszContext);
        return false;
    }
    return true;
}

std::int32_t ReadTransfer(platform::IHttpTransfer& transfer, char* pBuffer, std::int32_t nSize, const char* pszApi,
                          const RequestStepNames& names) {
    int nRead = transfer.Read(pBuffer, nSize);
    if (nRead >= 0) return nRead;
    ShowApiError(pszApi, transfer.LastError(), names.lookup, names.pszContext);
    return -1;
}
