#include "tools/site/TestSite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace testsite {

// A file to serve, from memory or from disk.
class CFileSource {
public:
    virtual ~CFileSource() = default;
    virtual std::int64_t Size() const = 0;
    // Copies up to nLength bytes from nOffset; answers the count, 0 past the end.
    virtual std::size_t Read(std::int64_t nOffset, char* pBuffer, std::size_t nLength) const = 0;
};

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr std::size_t kPacedChunkBytes = 16 * 1024;
constexpr std::int64_t kExtraBytes = 1000;

class CMemorySource : public CFileSource {
public:
    explicit CMemorySource(std::string strContent) : m_strContent(std::move(strContent)) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(m_strContent.size()); }
    std::size_t Read(std::int64_t nOffset, char* pBuffer, std::size_t nLength) const override {
        if (nOffset < 0 || nOffset >= Size()) return 0;
        std::size_t nCount = std::min<std::size_t>(nLength, m_strContent.size() - static_cast<std::size_t>(nOffset));
        std::copy_n(m_strContent.data() + nOffset, nCount, pBuffer);
        return nCount;
    }

private:
    std::string m_strContent;
};

class CDiskSource : public CFileSource {
public:
    CDiskSource(int fd, std::int64_t nSize) : m_fd(fd), m_nSize(nSize) {}
    ~CDiskSource() override { close(m_fd); }
    std::int64_t Size() const override { return m_nSize; }
    std::size_t Read(std::int64_t nOffset, char* pBuffer, std::size_t nLength) const override {
        ssize_t nRead = pread(m_fd, pBuffer, nLength, nOffset);
        return nRead > 0 ? static_cast<std::size_t>(nRead) : 0;
    }

private:
    int m_fd;
    std::int64_t m_nSize;
};

std::shared_ptr<CFileSource> OpenDiskSource(const std::string& strFile) {
    int fd = open(strFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    return std::make_shared<CDiskSource>(fd, info.st_size);
}

// Accepts "bytes=a-b" and "bytes=a-" only: the downloader never asks for more.
bool ParseSingleRange(const std::string& strHeader, std::int64_t& nFirst, std::int64_t& nLast) {
    const std::string strPrefix = "bytes=";
    if (strHeader.compare(0, strPrefix.size(), strPrefix) != 0) return false;
    std::string strSpec = strHeader.substr(strPrefix.size());
    std::size_t nDash = strSpec.find('-');
    if (nDash == std::string::npos || nDash == 0 || strSpec.find(',') != std::string::npos) return false;
    char* pEnd = nullptr;
    nFirst = std::strtoll(strSpec.c_str(), &pEnd, 10);
    if (pEnd != strSpec.c_str() + nDash) return false;
    if (nDash + 1 == strSpec.size()) {
        nLast = INT64_MAX;
        return true;
    }
    nLast = std::strtoll(strSpec.c_str() + nDash + 1, &pEnd, 10);
    return *pEnd == '\0';
}

std::string ConnectionName(const httplib::Request& req) {
    return req.remote_addr + ":" + std::to_string(req.remote_port);
}

}  // namespace

// What a response sends: which bytes of the file, how many, and what it claims.
struct CTestSite::ResponsePlan {
    std::shared_ptr<CFileSource> source;
    std::int64_t nOffset = 0;
    std::int64_t nSendBytes = 0;
    std::int64_t nClaimedBytes = 0;
    bool bChunked = false;
    bool bErrorPage = false;
    bool bStallAfterSending = false;
};

CTestSite::CTestSite() = default;

CTestSite::~CTestSite() { Stop(); }

void CTestSite::AddFile(const std::string& strPath, std::string strContent) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_mapFiles[strPath] = std::make_shared<CMemorySource>(std::move(strContent));
}

bool CTestSite::Start(const SiteOptions& options) {
    m_options = options;
    m_bStopping = false;
    m_siteFault = {options.eFault, options.nFaultCount};
    m_pacer.SetRate(options.nRateLimit);

    if (options.nHttpsPort > 0 && options.eFault != kFault_OnlyHttp) {
        if (options.eFault == kFault_HttpsRefused) {
            m_servers.push_back(std::make_unique<httplib::Server>());
        } else {
            auto server = std::make_unique<httplib::SSLServer>(options.strCertFile.c_str(), options.strKeyFile.c_str());
            if (!server->is_valid()) return false;
            m_servers.push_back(std::move(server));
        }
        m_servers.back()->Get(".*", [this](const httplib::Request& req, httplib::Response& res) { Handle("https", req, res); });
        if (!StartListener(*m_servers.back(), options.nHttpsPort)) return false;
    }
    if (options.nHttpPort > 0) {
        m_servers.push_back(std::make_unique<httplib::Server>());
        m_servers.back()->Get(".*", [this](const httplib::Request& req, httplib::Response& res) { Handle("http", req, res); });
        if (!StartListener(*m_servers.back(), options.nHttpPort)) return false;
    }
    return true;
}

bool CTestSite::StartListener(httplib::Server& server, int nPort) {
    // Up to 64 ranges of one download connect at once; the default pool would queue them.
    server.new_task_queue = [] { return new httplib::ThreadPool(80); };
    server.set_keep_alive_timeout(2);
    if (!server.bind_to_port(m_options.strAddress, nPort)) return false;
    m_listenThreads.emplace_back([&server] { server.listen_after_bind(); });
    return true;
}

void CTestSite::Stop() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bStopping = true;
    }
    m_stopSignal.notify_all();
    for (auto& server : m_servers) server->stop();
    for (auto& thread : m_listenThreads) thread.join();
    m_listenThreads.clear();
    m_servers.clear();
}

void CTestSite::SetFault(SiteFault eFault, int nCount, const std::string& strPath) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (strPath.empty()) {
        m_siteFault = {eFault, nCount};
    } else {
        m_mapPathFaults[strPath] = {eFault, nCount};
    }
}

void CTestSite::SetRateLimit(std::int64_t nBytesPerSecond) { m_pacer.SetRate(nBytesPerSecond); }

std::vector<SiteHit> CTestSite::Hits() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_hits;
}

void CTestSite::ClearHits() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_hits.clear();
}

std::shared_ptr<CFileSource> CTestSite::FindSource(const std::string& strPath) const {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_mapFiles.find(strPath);
        if (found != m_mapFiles.end()) return found->second;
    }
    if (m_options.strRootFolder.empty() || strPath.find("..") != std::string::npos) return nullptr;
    return OpenDiskSource(m_options.strRootFolder + strPath);
}

// A GET uses up one of the fault's hits; a HEAD meets only a fault without a limit, so that
// a fault meant for a few body requests leaves the size probe alone.
SiteFault CTestSite::TakeFault(const std::string& strPath, bool bCounts) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_mapPathFaults.find(strPath);
    FaultBudget& budget = found != m_mapPathFaults.end() ? found->second : m_siteFault;
    if (budget.eFault == kFault_None || IsListenerFault(budget.eFault) || budget.nCount == 0) return kFault_None;
    if (!bCounts && budget.nCount != -1) return kFault_None;
    if (bCounts && budget.nCount > 0) --budget.nCount;
    return budget.eFault;
}

void CTestSite::Record(SiteHit hit) {
    HitRecorder onHit;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_hits.push_back(hit);
        onHit = m_options.onHit;
    }
    if (onHit) onHit(hit);
}

void CTestSite::Handle(const std::string& strScheme, const httplib::Request& req, httplib::Response& res) {
    // Ranges are ours to answer (and to ignore on purpose), so the library must not apply them.
    const_cast<httplib::Request&>(req).ranges.clear();

    SiteHit hit;
    hit.strScheme = strScheme;
    hit.strMethod = req.method;
    hit.strTarget = req.target;
    hit.strPath = req.path;
    hit.strRange = req.get_header_value("Range");
    for (const auto& header : req.headers) hit.headers.emplace_back(header.first, header.second);

    ResponsePlan plan;
    plan.source = FindSource(req.path);
    if (!plan.source) {
        res.status = 404;
        res.set_content("<html><body>not found</body></html>", "text/html");
        hit.nStatus = res.status;
        Record(hit);
        return;
    }
    SiteFault eFault = TakeFault(req.path, req.method == "GET");
    hit.eFault = eFault;

    std::int64_t nSize = plan.source->Size();
    std::int64_t nFirst = 0;
    std::int64_t nLast = 0;
    std::int64_t nLength = nSize;
    res.status = 200;
    if (!hit.strRange.empty() && eFault != kFault_IgnoreRange) {
        if (!ParseSingleRange(hit.strRange, nFirst, nLast) || nFirst >= nSize || nLast < nFirst) {
            res.status = 416;
            res.set_header("Content-Range", "bytes */" + std::to_string(nSize));
            hit.nStatus = res.status;
            Record(hit);
            return;
        }
        nLast = std::min(nLast, nSize - 1);
        nLength = nLast - nFirst + 1;
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(nFirst) + "-" + std::to_string(nLast) + "/" + std::to_string(nSize));
    }
    plan.nOffset = nFirst;
    plan.nSendBytes = nLength;
    plan.nClaimedBytes = nLength;
    switch (eFault) {
        case kFault_CloseMidBody: plan.nSendBytes = nLength / 2; break;
        case kFault_ShortBody: plan.nSendBytes = plan.nClaimedBytes = nLength - std::max<std::int64_t>(1, nLength / 10); break;
        case kFault_LongBody: plan.nSendBytes = plan.nClaimedBytes = nLength + kExtraBytes; break;
        case kFault_Stall:
            plan.nSendBytes = nLength / 2;
            plan.bStallAfterSending = true;
            break;
        case kFault_NoContentLength: plan.bChunked = true; break;
        case kFault_WrongContentLength: plan.nClaimedBytes = nLength + kExtraBytes; break;
        case kFault_ErrorStatus:
            res.status = 500;
            plan.bErrorPage = true;
            break;
        default: break;
    }
    hit.nStatus = res.status;
    Record(hit);
    SendBody(req, res, plan);
}

void CTestSite::SendBody(const httplib::Request& req, httplib::Response& res, const ResponsePlan& plan) {
    std::string strConnection = ConnectionName(req);
    std::size_t nChunk = m_pacer.Rate() > 0 ? kPacedChunkBytes : kChunkBytes;
    // Writes the next piece of the planned bytes; false ends the response (and closes the
    // connection when fewer bytes went out than claimed).
    auto writeNext = [this, plan, strConnection, nChunk](std::size_t nOffset, httplib::DataSink& sink) {
        std::int64_t nRemaining = plan.nSendBytes - static_cast<std::int64_t>(nOffset);
        if (nRemaining <= 0) {
            if (plan.bStallAfterSending) WaitForStop();
            if (plan.bChunked) sink.done();
            return plan.bChunked;
        }
        std::string strBuffer(std::min<std::int64_t>(nRemaining, static_cast<std::int64_t>(nChunk)), 'X');
        if (plan.bErrorPage) {
            std::fill(strBuffer.begin(), strBuffer.end(), 'E');
        } else {
            plan.source->Read(plan.nOffset + static_cast<std::int64_t>(nOffset), strBuffer.data(), strBuffer.size());
        }
        m_pacer.WaitToSend(strConnection, strBuffer.size());
        return sink.write(strBuffer.data(), strBuffer.size());
    };
    const char* pszType = plan.bErrorPage ? "text/html" : "application/octet-stream";
    if (plan.bChunked) {
        res.set_chunked_content_provider(pszType, [writeNext](std::size_t nOffset, httplib::DataSink& sink) { return writeNext(nOffset, sink); });
    } else {
        res.set_content_provider(static_cast<std::size_t>(plan.nClaimedBytes), pszType,
                                 [writeNext](std::size_t nOffset, std::size_t, httplib::DataSink& sink) { return writeNext(nOffset, sink); });
    }
}

void CTestSite::WaitForStop() {
    std::unique_lock<std::mutex> guard(m_lock);
    m_stopSignal.wait_for(guard, std::chrono::minutes(5), [this] { return m_bStopping; });
}

}  // namespace testsite
