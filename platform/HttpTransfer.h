#pragma once
// One HTTP exchange over one of the two client libraries, shaped after the steps of the
// request layer: open, connect (name the server), open the request, add header lines,
// send and wait for the response headers, then read the body piece by piece.
// An object belongs to one thread. Every call blocks.
#include <memory>
#include <string>

namespace platform {

// Time limits the request layer always runs with, as the system's own HTTP stacks do.
constexpr int kConnectTimeoutSeconds = 60;
constexpr int kSendTimeoutSeconds = 30;
constexpr int kReceiveTimeoutSeconds = 30;

class IHttpTransfer {
public:
    virtual ~IHttpTransfer() = default;
    // Names the server; strHost may carry ":port", which then wins over nPort.
    virtual bool Connect(const std::string& strHost, int nPort, bool bHttps) = 0;
    // strObject is the path after the host's slash, query included, unescaped blanks allowed.
    virtual bool OpenRequest(const std::string& strVerb, const std::string& strObject) = 0;
    // Header lines "Name:value", several separated by CR LF.
    virtual bool AddHeaders(const std::string& strLines) = 0;
    // Sends and waits until the response headers (of the last redirect) have arrived.
    virtual bool Send() = 0;
    // The response's status code; 0 before Send succeeded.
    virtual int StatusCode() const = 0;
    // The first response header of that name, compared without case; false when missing.
    virtual bool ResponseHeader(const std::string& strName, std::string& strValue) const = 0;
    // Up to nSize body bytes; 0 at the end of the body; -1 on failure.
    virtual int Read(char* pBuffer, int nSize) = 0;
    // The library's code for the last failure; explained by the lookup of the back end.
    virtual unsigned long LastError() const = 0;
};

// libcurl back end. Null when the library cannot make a handle.
std::unique_ptr<IHttpTransfer> CreateCurlTransfer(bool bUseSystemProxy);
// cpp-httplib back end (TLS through OpenSSL). Null when out of memory.
std::unique_ptr<IHttpTransfer> CreateHttplibTransfer(bool bUseSystemProxy);

// Error texts of each back end's codes, in the shape the log's ShowApiError takes.
std::string CurlErrorText(unsigned long nCode);
std::string HttplibErrorText(unsigned long nCode);

// Codes of our own for responses that the request layer rejects; HTTP status codes
// (100 to 599) are explained as such.
constexpr unsigned long kHttpErrorHeaderNotFound = 12150;
constexpr unsigned long kHttpErrorBadHeaderValue = 12151;
constexpr unsigned long kHttpErrorInvalidOption = 12009;
std::string HttpResponseErrorText(unsigned long nCode);

// True when the standard proxy variables (https_proxy, http_proxy, all_proxy, upper case
// too) name a proxy.
bool IsSystemProxyConfigured();

// The process-wide options "maximum connections per server" (73) and "per HTTP/1.0
// server" (74). The cpp-httplib back end holds new connections back while that many to the
// same server are open; 0 means no limit. Other options are unknown.
constexpr unsigned long kHttpOptionMaxConnsPerServer = 73;
constexpr unsigned long kHttpOptionMaxConnsPer10Server = 74;
bool QueryHttpOption(unsigned long nOption, unsigned long& nValue);
bool SetHttpOption(unsigned long nOption, unsigned long nValue);

}  // namespace platform
