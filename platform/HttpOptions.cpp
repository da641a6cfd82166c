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

}  // namespace

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

}  // namespace platform
