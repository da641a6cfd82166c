#pragma once
// A small web site on 127.0.0.1 for tests, the download benchmark and the demo: HTTPS on
// 443 and plain HTTP on 80, files from a folder or from memory with single byte ranges, an
// optional per-connection rate limit, fault modes and a recorder of every request.
// Run it inside a private network namespace.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tools/site/ConnectionPacer.h"
#include "tools/site/SiteFault.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace testsite {

struct SiteHit {
    std::string strScheme;  // "https" or "http"
    std::string strMethod;
    std::string strTarget;  // path with query, as requested
    std::string strPath;    // path without query
    std::string strRange;   // the Range header, empty when none
    std::vector<std::pair<std::string, std::string>> headers;
    int nStatus = 0;
    SiteFault eFault = kFault_None;  // the fault this request met
};

using HitRecorder = std::function<void(const SiteHit&)>;

struct SiteOptions {
    std::string strAddress = "127.0.0.1";
    int nHttpsPort = 443;  // 0: no HTTPS listener
    int nHttpPort = 80;    // 0: no HTTP listener
    std::string strCertFile;
    std::string strKeyFile;
    std::string strRootFolder;  // served below "/"; files added in memory take precedence
    std::int64_t nRateLimit = 0;  // bytes per second per connection; 0 unlimited
    SiteFault eFault = kFault_None;
    int nFaultCount = -1;  // how many GET requests meet the fault; -1 all, HEAD too
    HitRecorder onHit;
};

class CFileSource;

class CTestSite {
public:
    CTestSite();
    ~CTestSite();
    CTestSite(const CTestSite&) = delete;
    CTestSite& operator=(const CTestSite&) = delete;

    // strPath begins with "/". Replaces an earlier file of the same path.
    void AddFile(const std::string& strPath, std::string strContent);
    // Binds the listeners and starts serving; false when a port cannot be bound or the
    // certificate cannot be loaded.
    bool Start(const SiteOptions& options);
    void Stop();

    // Body faults can change while the site runs; listener faults are fixed by Start.
    // With strPath the fault hits only that file (and wins over the site-wide one).
    void SetFault(SiteFault eFault, int nCount = -1, const std::string& strPath = std::string());
    void SetRateLimit(std::int64_t nBytesPerSecond);

    std::vector<SiteHit> Hits() const;
    void ClearHits();

private:
    struct ResponsePlan;
    void Handle(const std::string& strScheme, const httplib::Request& req, httplib::Response& res);
    std::shared_ptr<CFileSource> FindSource(const std::string& strPath) const;
    SiteFault TakeFault(const std::string& strPath, bool bCounts);
    void SendBody(const httplib::Request& req, httplib::Response& res, const ResponsePlan& plan);
    void WaitForStop();
    void Record(SiteHit hit);
    bool StartListener(httplib::Server& server, int nPort);

    SiteOptions m_options;
    mutable std::mutex m_lock;
    std::condition_variable m_stopSignal;
    bool m_bStopping = false;
    std::map<std::string, std::shared_ptr<CFileSource>> m_mapFiles;
    struct FaultBudget {
        SiteFault eFault = kFault_None;
        int nCount = -1;
    };
    FaultBudget m_siteFault;
    std::map<std::string, FaultBudget> m_mapPathFaults;
    std::vector<SiteHit> m_hits;
    CConnectionPacer m_pacer;
    std::vector<std::unique_ptr<httplib::Server>> m_servers;
    std::vector<std::thread> m_listenThreads;
};

}  // namespace testsite
