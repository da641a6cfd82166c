#include <curl/curl.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/HeadRequest.h"

namespace platform {
namespace {

constexpr long kConnectTimeoutSeconds = 60;
constexpr long kTotalTimeoutSeconds = 90;

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string EscapeUnsafeCharacters(const std::string& strPath) {
    std::string strEscaped;
    for (unsigned char ch : strPath) {
        // A raw "#" would end the request target at a fragment and cut the hit short.
        if (ch <= 0x20 || ch >= 0x7F || ch == '#') {
            char szCode[4];
            std::snprintf(szCode, sizeof(szCode), "%%%02X", ch);
            strEscaped += szCode;
        } else {
            strEscaped += static_cast<char>(ch);
        }
    }
    return strEscaped;
}

std::string BuildUrl(const std::string& strHost, const std::string& strPath, EHeadScheme eScheme) {
    std::string strUrl = eScheme == kHeadHttps ? "https://" : "http://";
    strUrl += strHost;
    strUrl += eScheme == kHeadHttps ? ":443" : ":80";
    if (strPath.empty() || strPath.front() != '/') strUrl += '/';
    return strUrl + EscapeUnsafeCharacters(strPath);
}

}  // namespace

bool SendHeadRequest(const std::string& strHost, const std::string& strPath, EHeadScheme eScheme) {
    InitCurlOnce();
    CURL* pCurl = curl_easy_init();
    if (!pCurl) return false;
    std::string strUrl = BuildUrl(strHost, strPath, eScheme);
    curl_slist* pHeaders = nullptr;
    curl_easy_setopt(pCurl, CURLOPT_URL, strUrl.c_str());
    curl_easy_setopt(pCurl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(pCurl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(pCurl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(pCurl, CURLOPT_TIMEOUT, kTotalTimeoutSeconds);
    curl_easy_setopt(pCurl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(pCurl, CURLOPT_PROTOCOLS_STR, eScheme == kHeadHttps ? "https" : "http");
    if (eScheme == kHeadHttp) {
        curl_easy_setopt(pCurl, CURLOPT_NOPROXY, "*");
        pHeaders = curl_slist_append(pHeaders, "Pragma: no-cache");
        pHeaders = curl_slist_append(pHeaders, "Cache-Control: no-cache");
        curl_easy_setopt(pCurl, CURLOPT_HTTPHEADER, pHeaders);
    }
    CURLcode nResult = curl_easy_perform(pCurl);
    curl_easy_cleanup(pCurl);
    curl_slist_free_all(pHeaders);
    return nResult == CURLE_OK;
}

}  // namespace platform
