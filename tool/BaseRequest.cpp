#include "tool/BaseRequest.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

#include "log/Log.h"
#include "platform/HttpTransfer.h"
#include "platform/Text.h"
#include "tool/InternetRequest.h"
#include "tool/WinHttpRequest.h"

CBaseRequest::CBaseRequest() = default;

CBaseRequest::~CBaseRequest() = default;

CBaseRequest* CBaseRequest::CreateInstance(int nType) {
    switch (nType) {
        case kRequest_WinHttp: return new (std::nothrow) CWinHttpRequest();
        case kRequest_Internet: return new (std::nothrow) CInternetRequest();
        default:
            ShowAssert(false, "false", "CBaseRequest::CreateInstance", 15, "ERR:un support type %d", nType);
            return nullptr;
    }
}

bool CBaseRequest::IsUseProxyConnect() { return platform::IsSystemProxyConfigured(); }

bool CBaseRequest::QueryInternetOpt(unsigned long nOption, std::vector<std::uint8_t>& bytes) {
    unsigned long nValue = 0;
    if (!platform::QueryHttpOption(nOption, nValue)) {
        LOG_INFO("ERR: InternetQueryOption fail! 0x%x", static_cast<unsigned>(platform::kHttpErrorInvalidOption));
        return false;
    }
    auto nValue32 = static_cast<std::uint32_t>(nValue);
    bytes.resize(sizeof(nValue32));
    std::memcpy(bytes.data(), &nValue32, sizeof(nValue32));
    return true;
}

bool CBaseRequest::InternetSetOpt(unsigned long nOption, std::int32_t nValue) {
    std::vector<std::uint8_t> bytes;
    auto valueInForce = [&bytes] {
        std::int32_t nHeld = 0;
        std::memcpy(&nHeld, bytes.data(), sizeof(nHeld));
        return nHeld;
    };
    if (QueryInternetOpt(nOption, bytes) && bytes.size() >= 4 && valueInForce() == nValue) return true;
    if (!platform::SetHttpOption(nOption, static_cast<std::uint32_t>(nValue))) {
        LOG_INFO("ERR: InternetSetOption fail! 0x%x", static_cast<unsigned>(platform::kHttpErrorInvalidOption));
        return false;
    }
    return QueryInternetOpt(nOption, bytes) && bytes.size() >= 4 && valueInForce() == nValue;
}

bool CBaseRequest::SplitUrl(const std::wstring& strUrl, std::wstring& strHostName, std::wstring& strPath) {
    std::wstring strRest;
    if (strUrl.find(L"http://") != std::wstring::npos) {
        strRest = strUrl.substr(7);
    } else if (strUrl.find(L"https://") != std::wstring::npos) {
        strRest = strUrl.substr(8);
    } else {
        return true;
    }
    std::size_t nSlash = strRest.find(L'/');
    if (nSlash == std::wstring::npos) return false;
    strHostName = strRest.substr(0, nSlash);
    strPath = strRest.substr(nSlash + 1);
    return true;
}

bool CBaseRequest::RequestUrl(const std::wstring& strUrl) {
    std::wstring strHostName;
    std::wstring strPath;
    if (!SplitUrl(strUrl, strHostName, strPath)) return false;
    if (RequestHost(true, strHostName, strPath)) return true;
    return RequestHost(false, strHostName, strPath);
}

bool CBaseRequest::RequestHost(bool bHttps, const std::wstring& strHostName, const std::wstring& strPath) {
    strHost = strHostName;
    strObject = strPath;
    if (!OpenSession()) return false;
    if (nMaxConns != 0) {
        InternetSetOpt(platform::kHttpOptionMaxConnsPerServer, nMaxConns);
        InternetSetOpt(platform::kHttpOptionMaxConnsPer10Server, nMaxConns);
    }
    return ConnectSession(bHttps) && OpenRequest(bHttps) && SendRequest();
}

int CBaseRequest::GetStatusCode() const { return hRequest && hSession ? hSession->StatusCode() : 0; }

bool CBaseRequest::GetResponseHeader(const std::string& strName, std::string& strValue) const {
    return hRequest && hSession && hSession->ResponseHeader(strName, strValue);
}

bool ParseContentLength(const std::string& strText, std::int32_t& nSize) {
    std::size_t nStart = strText.find_first_not_of(" \t");
    std::size_t nEnd = strText.find_last_not_of(" \t");
    if (nStart == std::string::npos) return false;
    std::int64_t nValue = 0;
    for (std::size_t i = nStart; i <= nEnd; ++i) {
        char ch = strText[i];
        if (ch < '0' || ch > '9') return false;
        nValue = nValue * 10 + (ch - '0');
        if (nValue > std::numeric_limits<std::int32_t>::max()) return false;
    }
    nSize = static_cast<std::int32_t>(nValue);
    return true;
}
