#pragma once
// One HEAD request whose response is not read: true when the request was sent and the
// response headers arrived, whatever their status. Used for the analytics hits.
#include <string>

namespace platform {

enum EHeadScheme {
    // Port 443, the proxy from the environment, the peer's certificate verified.
    kHeadHttps,
    // Port 80, HTTP/1.1, never through a proxy, asking caches to refresh.
    kHeadHttp,
};

// strPath is sent as given after "/", except that blanks, control characters and non-ASCII
// bytes are percent-encoded, which HTTP does not allow raw in a request target, and so is "#",
// which would end it.
bool SendHeadRequest(const std::string& strHost, const std::string& strPath, EHeadScheme eScheme);

}  // namespace platform
