#include "tool/InternetRequest.h"

#include "platform/HttpTransfer.h"
#include "tool/RequestSteps.h"

namespace {

constexpr int kHttpsPort = 443;
constexpr unsigned long kHttplibUnknownError = 1;

RequestStepNames Names(const char* pszContext) { return {platform::HttplibErrorText, pszContext}; }

}  // namespace

bool CInternetRequest::OpenSession() {
    hConnect = false;
    hRequest = false;
    hSession = platform::CreateHttplibTransfer(IsUseProxyConnect());
    if (hSession) return true;
    ShowApiError("InternetOpen", kHttplibUnknownError, platform::HttplibErrorText, "CInternetRequest::OpenSession");
    return false;
}

// This back end speaks HTTPS on 443 whatever the attempt asks for.
bool CInternetRequest::ConnectSession(bool) {
    hConnect = hSession && ConnectTransfer(*hSession, strHost, kHttpsPort, true, "InternetConnect",
                                           Names("CInternetRequest::ConnectSession"));
    return hConnect;
}

bool CInternetRequest::OpenRequest(bool) {
    hRequest = hConnect && OpenTransferRequest(*hSession, strVerb, strObject, "HttpOpenRequest",
                                               Names("CInternetRequest::OpenRequest"));
    return hRequest;
}

bool CInternetRequest::SendRequest() {
    if (!hRequest) return false;
    RequestStepNames names = Names("CInternetRequest::SendRequest");
    return AddTransferHeaders(*hSession, strHeaders, "\"HttpAddRequestHeaders\"", names) &&
           SendTransfer(*hSession, "HttpSendRequest", names) && CheckTransferStatus(*hSession, "HttpSendRequest", names);
}

bool CInternetRequest::GetUrlFileSize(std::int32_t& nSize) {
    if (!hRequest) return false;
    return ReadContentLength(*hSession, nSize, "HttpQueryInfo", Names("CInternetRequest::GetUrlFileSize"));
}

std::int32_t CInternetRequest::HttpRead(char* pBuffer, std::int32_t nSize) {
    if (!hRequest) return -1;
    return ReadTransfer(*hSession, pBuffer, nSize, "InternetReadFile", Names("CInternetRequest::HttpRead"));
}
