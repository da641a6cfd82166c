#include "tool/WinHttpRequest.h"

#include "platform/HttpTransfer.h"
#include "tool/RequestSteps.h"

namespace {

constexpr int kHttpsPort = 443;
constexpr int kHttpPort = 80;
constexpr unsigned long kCurlOutOfMemory = 27;

RequestStepNames Names(const char* pszContext) { return {platform::CurlErrorText, pszContext}; }

}  // namespace

bool CWinHttpRequest::OpenSession() {
    hConnect = false;
    hRequest = false;
    hSession = platform::CreateCurlTransfer(IsUseProxyConnect());
    if (hSession) return true;
    ShowApiError("WinHttpOpen", kCurlOutOfMemory, platform::CurlErrorText, "CWinHttpRequest::OpenSession");
    return false;
}

bool CWinHttpRequest::ConnectSession(bool bHttps) {
    hConnect = hSession && ConnectTransfer(*hSession, strHost, bHttps ? kHttpsPort : kHttpPort, bHttps, "WinHttpConnect",
                                           Names("CWinHttpRequest::ConnectSession"));
    return hConnect;
}

bool CWinHttpRequest::OpenRequest(bool) {
    hRequest = hConnect && OpenTransferRequest(*hSession, strVerb, strObject, "WinHttpOpenRequest",
                                               Names("CWinHttpRequest::OpenRequest"));
    return hRequest;
}

bool CWinHttpRequest::SendRequest() {
    if (!hRequest) return false;
    RequestStepNames names = Names("CWinHttpRequest::SendRequest");
    return AddTransferHeaders(*hSession, strHeaders, "WinHttpAddRequestHeaders", names) &&
           SendTransfer(*hSession, "WinHttpSendRequest", names) &&
           CheckTransferStatus(*hSession, "WinHttpReceiveResponse", names);
}

bool CWinHttpRequest::GetUrlFileSize(std::int32_t& nSize) {
    if (!hRequest) return false;
    return ReadContentLength(*hSession, nSize, "WinHttpQueryHeaders", Names("CWinHttpRequest::GetUrlFileSize"));
}

std::int32_t CWinHttpRequest::HttpRead(char* pBuffer, std::int32_t nSize) {
    if (!hRequest) return -1;
    return ReadTransfer(*hSession, pBuffer, nSize, "WinHttpReadData", Names("CWinHttpRequest::HttpRead"));
}
