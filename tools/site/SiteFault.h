#pragma once
// Ways in which the local site misbehaves on purpose, so that the downloader's handling of
// broken servers can be exercised.
#include <string>

namespace testsite {

enum SiteFault {
    kFault_None,
    kFault_HttpsRefused,        // 443 answers plain HTTP, so every TLS handshake fails
    kFault_OnlyHttp,            // nothing listens on 443
    kFault_CloseMidBody,        // half the body, then the connection closes
    kFault_IgnoreRange,         // 200 with the whole file whatever Range asks
    kFault_ShortBody,           // a consistent response a tenth shorter than asked
    kFault_LongBody,            // a consistent response 1,000 bytes longer than asked
    kFault_Stall,               // half the body, then silence until the site stops
    kFault_NoContentLength,     // chunked body, no Content-Length
    kFault_WrongContentLength,  // Content-Length 1,000 more than the bytes sent
    kFault_ErrorStatus,         // 500 with a page exactly as long as the content asked for
};

// The fault's name as the site's command line writes it ("close-mid-body", ...).
const char* SiteFaultName(SiteFault eFault);
bool ParseSiteFault(const std::string& strName, SiteFault& eFault);

// Faults that change only the listener on 443, fixed when the site starts.
bool IsListenerFault(SiteFault eFault);

}  // namespace testsite
