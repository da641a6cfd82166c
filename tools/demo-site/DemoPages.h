#pragma once
// The maker's web pages for the demo and the analytics collector: HTML pages for
// "/producturl?key=..." and every request to "/collect" recorded as it arrived.
#include <functional>
#include <string>

namespace demosite {

struct PageResponse {
    int nStatus = 200;
    std::string strType = "text/html; charset=utf-8";
    std::string strBody;
};

// The page for a request path and its (decoded) "key" parameter.
PageResponse MakePage(const std::string& strPath, const std::string& strKey, const std::string& strLanguage);

// "<scheme> <method> <target> <status>", the line recorded for every hit.
std::string FormatHitLine(const std::string& strScheme, const std::string& strMethod, const std::string& strTarget,
                          int nStatus);

bool IsCollectorPath(const std::string& strPath);

}  // namespace demosite
