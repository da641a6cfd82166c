#pragma once
// One synchronous HTTP exchange over one of two interchangeable back ends. Create it,
// set strVerb, strHeaders and nMaxConns, call RequestUrl, then GetUrlFileSize and/or
// HttpRead until it answers 0 or -1, then destroy it. It serves one URL only.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class IHttpTransfer;
}

enum RequestType { kRequest_WinHttp = 0, kRequest_Internet = 1 };

class CBaseRequest {
public:
    // kRequest_WinHttp or kRequest_Internet; any other type is a programming error:
    // asserted and answered with null.
    static CBaseRequest* CreateInstance(int nType);
    // Whether the system's settings send connections through a proxy.
    static bool IsUseProxyConnect();
    // The process-wide connection option nOption (73, 74) as its bytes.
    static bool QueryInternetOpt(unsigned long nOption, std::vector<std::uint8_t>& bytes);
    // Sets the process-wide connection option; true when it now holds nValue.
    static bool InternetSetOpt(unsigned long nOption, std::int32_t nValue);
    // Host and object path of a URL; see the cases in the tests.
    static bool SplitUrl(const std::wstring& strUrl, std::wstring& strHost, std::wstring& strPath);

    virtual ~CBaseRequest();
    virtual const char* GetRequestName() = 0;
    // The response's Content-Length; false when missing or not below 2 GiB.
    virtual bool GetUrlFileSize(std::int32_t& nSize) = 0;
    // Bytes read into pBuffer; 0 at the end of the body; -1 on failure.
    virtual std::int32_t HttpRead(char* pBuffer, std::int32_t nSize) = 0;
    virtual bool OpenSession() = 0;
    virtual bool ConnectSession(bool bHttps) = 0;
    virtual bool OpenRequest(bool bHttps) = 0;
    // Adds strHeaders, sends, waits for the response headers. A status outside 2xx is a
    // failure: an error page must never pass for the content asked for.
    virtual bool SendRequest() = 0;

    // HTTPS on 443 first, then the back end's second attempt (see each back end).
    bool RequestUrl(const std::wstring& strUrl);
    bool RequestHost(bool bHttps, const std::wstring& strHostName, const std::wstring& strPath);

    // The response's status and headers, after RequestUrl succeeded.
    int GetStatusCode() const;
    bool GetResponseHeader(const std::string& strName, std::string& strValue) const;

    std::wstring strVerb = L"GET";
    std::wstring strHeaders;
    std::wstring strObject;
    std::wstring strHost;
    std::int32_t nMaxConns = 0;

protected:
    CBaseRequest();
    // One handle plays session, connection and request: the libraries need no more.
    std::unique_ptr<platform::IHttpTransfer> hSession;
    bool hConnect = false;
    bool hRequest = false;
};

// Parses a Content-Length text; false unless it is a decimal number below 2 GiB.
bool ParseContentLength(const std::string& strText, std::int32_t& nSize);
