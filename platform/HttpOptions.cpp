#include "platform/HttpOptions.h"

#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/HttpTransfer.h"

namespace platform {
namespace {

struct ConnectionOptions {
    std::mutex lock;
    std::condition_variable released;
    unsigned long nMaxPerServer = 0;
    unsigned long nMaxPer10Server = 0;
    std::map<std::string, int> mapOpen;
};

ConnectionOptions& Options() {
    static ConnectionOptions options;
    return options;
}

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

}  // namespace

bool SplitHeaderLines(const std::string& strLines, std::vector<std::pair<std::string, std::string>>& headers) {
    std::size_t nStart = 0;
    while (nStart < strLines.size()) {
        std::size_t nEnd = strLines.find('\n', nStart);
        if (nEnd == std::string::npos) nEnd = strLines.size();
        std::string strLine = strLines.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
        if (strLine.empty()) continue;
        std::size_t nColon = strLine.find(':');
        if (nColon == std::string::npos || nColon == 0) return false;
        std::size_t nValue = nColon + 1;
        while (nValue < strLine.size() && IsBlank(strLine[nValue])) ++nValue;
        headers.emplace_back(strLine.substr(0, nColon), strLine.substr(nValue));
    }
    return true;
}

std::string EscapeObjectPath(const std::string& strObject) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string strEscaped;
    for (unsigned char ch : strObject) {
        if (ch <= 0x20 || ch >= 0x7F || ch == '"' || ch == '<' || ch == '>') {
            strEscaped += '%';
            strEscaped += kHex[ch >> 4];
            strEscaped += kHex[ch & 15];
        } else {
            strEscaped += static_cast<char>(ch);
        }
    }
    return strEscaped;
}

void SplitHostPort(const std::string& strHostText, std::string& strHost, int& nPort) {
    std::size_t nColon = strHostText.rfind(':');
    // A bracketed IPv6 address holds colons of its own.
    if (nColon == std::string::npos || strHostText.find(']', nColon) != std::string::npos) {
        strHost = strHostText;
        return;
    }
    strHost = strHostText.substr(0, nColon);
    int nParsed = std::atoi(strHostText.c_str() + nColon + 1);
    if (nParsed > 0 && nParsed < 65536) nPort = nParsed;
}

bool IsSystemProxyConfigured() {
    for (const char* pszName : {"https_proxy", "HTTPS_PROXY", "http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
        const char* pszValue = std::getenv(pszName);
        if (pszValue && *pszValue) return true;
    }
    return false;
}

bool QueryHttpOption(unsigned long nOption, unsigned long& nValue) {
    ConnectionOptions& options = Options();
    std::lock_guard<std::mutex> guard(options.lock);
    if (nOption == kHttpOptionMaxConnsPerServer) {
        nValue = options.nMaxPerServer;
    } else if (nOption == kHttpOptionMaxConnsPer10Server) {
        nValue = options.nMaxPer10Server;
    } else {
        return false;
    }
    return true;
}

bool SetHttpOption(unsigned long nOption, unsigned long nValue) {
    ConnectionOptions& options = Options();
    {
        std::lock_guard<std::mutex> guard(options.lock);
        if (nOption == kHttpOptionMaxConnsPerServer) {
            options.nMaxPerServer = nValue;
        } else if (nOption == kHttpOptionMaxConnsPer10Server) {
            options.nMaxPer10Server = nValue;
        } else {
            return false;
        }
    }
    options.released.notify_all();
    return true;
}

CServerConnectionSlot::CServerConnectionSlot(const std::string& strServer) : m_strServer(strServer) {
    ConnectionOptions& options = Options();
    std::unique_lock<std::mutex> guard(options.lock);
    options.released.wait(guard, [&options, &strServer] {
        return options.nMaxPerServer == 0 || options.mapOpen[strServer] < static_cast<int>(options.nMaxPerServer);
    });
    ++options.mapOpen[strServer];
}

CServerConnectionSlot::~CServerConnectionSlot() {
    ConnectionOptions& options = Options();
    {
        std::lock_guard<std::mutex> guard(options.lock);
        --options.mapOpen[m_strServer];
    }
    options.released.notify_all();
}

std::string HttpResponseErrorText(unsigned long nCode) {
    if (nCode == kHttpErrorHeaderNotFound) return "The requested header could not be located.\n";
    if (nCode == kHttpErrorBadHeaderValue) return "The header value is not a length this layer supports.\n";
    if (nCode == kHttpErrorInvalidOption) return "An invalid option value was requested.\n";
    if (nCode >= 100 && nCode <= 599) return "The server answered with status " + std::to_string(nCode) + ".\n";
    return {};
}

}  // namespace platform
