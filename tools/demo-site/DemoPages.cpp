#include "tools/demo-site/DemoPages.h"

namespace demosite {
namespace {

std::string HtmlPage(const std::string& strTitle, const std::string& strText) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + strTitle +
           "</title></head>\n<body style=\"font-family:sans-serif;margin:3em\"><h1>" + strTitle + "</h1>\n<p>" +
           strText + "</p>\n<p><small>Norvane demo site</small></p></body></html>\n";
}

std::string Escape(const std::string& strText) {
    std::string strEscaped;
    for (char ch : strText) {
        switch (ch) {
            case '<': strEscaped += "&lt;"; break;
            case '>': strEscaped += "&gt;"; break;
            case '&': strEscaped += "&amp;"; break;
            case '"': strEscaped += "&quot;"; break;
            default: strEscaped += ch; break;
        }
    }
    return strEscaped;
}

}  // namespace

bool IsCollectorPath(const std::string& strPath) { return strPath == "/collect"; }

PageResponse MakePage(const std::string& strPath, const std::string& strKey, const std::string& strLanguage) {
    PageResponse response;
    if (IsCollectorPath(strPath)) {
        response.strType = "text/plain";
        return response;
    }
    std::string strLanguageNote = strLanguage.empty() ? "" : " (language: " + Escape(strLanguage) + ")";
    if (strPath == "/producturl" && strKey == "license_agreement") {
        response.strBody = HtmlPage("Norvane Vellumpod License Agreement",
                                    "This demo product may be installed and used for trying out the installer." +
                                        strLanguageNote);
    } else if (strPath == "/producturl" && strKey == "installed") {
        response.strBody = HtmlPage("Norvane Vellumpod is installed",
                                    "Thank you for installing Norvane Vellumpod. Click Start in the installer to "
                                    "run it." + strLanguageNote);
    } else if (strPath == "/" || strPath == "/producturl") {
        response.strBody = HtmlPage("Norvane", "Norvane demo site.");
    } else {
        response.nStatus = 404;
        response.strBody = HtmlPage("Not found", "There is no page " + Escape(strPath) + " here.");
    }
    return response;
}

std::string FormatHitLine(const std::string& strScheme, const std::string& strMethod, const std::string& strTarget,
                          int nStatus) {
    return strScheme + " " + strMethod + " " + strTarget + " " + std::to_string(nStatus);
}

}  // namespace demosite
