#include <fcntl.h>
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/HttpOptions.h"
#include "platform/HttpText.h"
#include "platform/HttpTransfer.h"
#include "platform/SocketTraffic.h"

namespace platform {
namespace {

constexpr std::size_t kMaxPendingBytes = 512 * 1024;
// The library gathers header lines (and redirect bodies) without limit; a response that has
// not finished its headers within this much is not a web server's.
constexpr std::uint64_t kMaxResponseHeadBytes = 1024 * 1024;
constexpr auto kHeadWatchInterval = std::chrono::milliseconds(50);
constexpr unsigned long kErrorBadArgument = static_cast<unsigned long>(httplib::Error::Unknown);

bool IsHostListedIn(const std::string& strHost, const char* pszList) {
    if (!pszList) return false;
    std::string strList = pszList;
    std::size_t nStart = 0;
    while (nStart <= strList.size()) {
        std::size_t nEnd = strList.find(',', nStart);
        if (nEnd == std::string::npos) nEnd = strList.size();
        std::string strEntry = strList.substr(nStart, nEnd - nStart);
        strEntry.erase(0, strEntry.find_first_not_of(' '));
        strEntry.erase(strEntry.find_last_not_of(' ') + 1);
        if (!strEntry.empty() && strEntry.front() == '.') strEntry.erase(0, 1);
        if (strEntry == "*" || strEntry == strHost ||
            (!strEntry.empty() && strHost.size() > strEntry.size() &&
             strHost.compare(strHost.size() - strEntry.size(), strEntry.size(), strEntry) == 0 &&
             strHost[strHost.size() - strEntry.size() - 1] == '.')) {
            return true;
        }
        nStart = nEnd + 1;
    }
    return false;
}

struct ProxySetting {
    std::string strHost;
    int nPort = 1080;
    std::string strUser;
    std::string strPassword;
};

std::string PercentDecoded(const std::string& strText) {
    std::string strDecoded;
    for (std::size_t i = 0; i < strText.size(); ++i) {
        if (strText[i] == '%' && i + 2 < strText.size() && std::isxdigit(static_cast<unsigned char>(strText[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(strText[i + 2]))) {
            strDecoded += static_cast<char>(std::stoi(strText.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            strDecoded += strText[i];
        }
    }
    return strDecoded;
}

// The proxy for a secure request to strHost from the standard variables, if any. A proxy
// written with "user:password@" gets them as its credentials, not as part of its name.
bool FindProxyFor(const std::string& strHost, ProxySetting& proxy) {
    if (IsHostListedIn(strHost, std::getenv("no_proxy")) || IsHostListedIn(strHost, std::getenv("NO_PROXY"))) return false;
    for (const char* pszName : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        const char* pszValue = std::getenv(pszName);
        if (!pszValue || !*pszValue) continue;
        std::string strValue = pszValue;
        std::size_t nScheme = strValue.find("://");
        if (nScheme != std::string::npos) strValue.erase(0, nScheme + 3);
        strValue = strValue.substr(0, strValue.find('/'));
        std::size_t nAt = strValue.rfind('@');
        if (nAt != std::string::npos) {
            std::string strUserInfo = strValue.substr(0, nAt);
            strValue.erase(0, nAt + 1);
            std::size_t nColon = strUserInfo.find(':');
            proxy.strUser = PercentDecoded(strUserInfo.substr(0, nColon));
            if (nColon != std::string::npos) proxy.strPassword = PercentDecoded(strUserInfo.substr(nColon + 1));
        }
        SplitHostPort(strValue, proxy.strHost, proxy.nPort);
        return !proxy.strHost.empty();
    }
    return false;
}

// cpp-httplib pushes the body into a callback until the exchange ends, so the exchange runs
// on a thread of its own and hands the body over through a bounded buffer.
class CHttplibTransfer : public IHttpTransfer {
public:
    explicit CHttplibTransfer(bool bUseSystemProxy) : m_bUseSystemProxy(bUseSystemProxy) {}

    ~CHttplibTransfer() override {
        std::shared_ptr<httplib::ClientImpl> client;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_bCancelled = true;
            client = m_client;
        }
        m_changed.notify_all();
        // A body nobody reads any more must not keep the thread waiting on a slow server.
        if (client) client->stop();
        if (m_worker.joinable()) m_worker.join();
        CloseWatchedSocket();
    }

    bool Connect(const std::string& strHost, int nPort, bool bHttps) override {
        if (strHost.empty()) return Fail(static_cast<unsigned long>(httplib::Error::Connection));
        m_nPort = nPort;
        SplitHostPort(strHost, m_strHost, m_nPort);
        m_bHttps = bHttps;
        return true;
    }

    bool OpenRequest(const std::string& strVerb, const std::string& strObject) override {
        if (m_strHost.empty() || strVerb.empty()) return Fail(kErrorBadArgument);
        m_request.method = strVerb;
        m_request.path = "/" + EscapeObjectPath(strObject);
        m_request.headers.emplace("Accept", "*/*");
        m_request.headers.emplace("Pragma", "no-cache");
        m_request.headers.emplace("Cache-Control", "no-cache");
        return true;
    }

    bool AddHeaders(const std::string& strLines) override {
        std::vector<std::pair<std::string, std::string>> headers;
        if (!SplitHeaderLines(strLines, headers)) return Fail(kErrorBadArgument);
        for (const auto& header : headers) m_request.headers.emplace(header.first, header.second);
        return true;
    }

    bool Send() override {
        if (m_request.method.empty()) return Fail(kErrorBadArgument);
        m_slot.emplace(m_strHost + ":" + std::to_string(m_nPort));
        m_worker = std::thread([this] { RunExchange(); });
        std::unique_lock<std::mutex> guard(m_lock);
        while (!m_changed.wait_for(guard, kHeadWatchInterval, [this] { return m_bHeadersIn || m_bFinished; })) {
            if (!IsHeadTooLong()) continue;
            std::shared_ptr<httplib::ClientImpl> client = m_client;
            guard.unlock();
            if (client) client->stop();
            // The library's own lock is taken while it reports a new socket to us: never
            // let its destructor run under ours.
            client.reset();
            guard.lock();
            m_changed.wait(guard, [this] { return m_bHeadersIn || m_bFinished; });
        }
        CloseWatchedSocketLocked();
        if (!m_bHeadersIn) return Fail(m_nError);
        return true;
    }

    int StatusCode() const override { return m_response.status > 0 ? m_response.status : 0; }

    bool ResponseHeader(const std::string& strName, std::string& strValue) const override {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_bHeadersIn || !m_response.has_header(strName.c_str())) return false;
        strValue = m_response.get_header_value(strName.c_str());
        return true;
    }

    int Read(char* pBuffer, int nSize) override {
        if (!m_worker.joinable() || nSize <= 0) return -1;
        std::unique_lock<std::mutex> guard(m_lock);
        m_changed.wait(guard, [this] { return m_nPendingOffset < m_strPending.size() || m_bFinished; });
        std::size_t nCount = std::min<std::size_t>(static_cast<std::size_t>(nSize), m_strPending.size() - m_nPendingOffset);
        if (nCount > 0) {
            std::memcpy(pBuffer, m_strPending.data() + m_nPendingOffset, nCount);
            m_nPendingOffset += nCount;
            if (m_nPendingOffset == m_strPending.size()) {
                m_strPending.clear();
                m_nPendingOffset = 0;
            }
            guard.unlock();
            m_changed.notify_all();
            return static_cast<int>(nCount);
        }
        if (m_nError == 0) return 0;
        Fail(m_nError);
        return -1;
    }

    unsigned long LastError() const override { return m_nLastError; }

private:
    bool Fail(unsigned long nCode) {
        m_nLastError = nCode;
        return false;
    }

    // The connection is watched through a socket of our own on it, so that a number the
    // library has closed and the system has given to another connection is never asked.
    void WatchSocket(int fd) {
        std::lock_guard<std::mutex> guard(m_lock);
        CloseWatchedSocketLocked();
        if (!m_bHeadersIn) m_nWatchedFd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    }

    void CloseWatchedSocketLocked() {
        if (m_nWatchedFd >= 0) close(m_nWatchedFd);
        m_nWatchedFd = -1;
    }

    void CloseWatchedSocket() {
        std::lock_guard<std::mutex> guard(m_lock);
        CloseWatchedSocketLocked();
    }

    bool IsHeadTooLong() const {
        std::uint64_t nConsumed = 0;
        return m_nWatchedFd >= 0 && SocketBytesConsumed(m_nWatchedFd, nConsumed) && nConsumed > kMaxResponseHeadBytes;
    }

    void RunExchange() {
        std::shared_ptr<httplib::ClientImpl> client;
        if (m_bHttps) {
            client = std::make_shared<httplib::SSLClient>(m_strHost, m_nPort);
        } else {
            client = std::make_shared<httplib::ClientImpl>(m_strHost, m_nPort);
        }
        client->set_connection_timeout(kConnectTimeoutSeconds, 0);
        client->set_read_timeout(kReceiveTimeoutSeconds, 0);
        client->set_write_timeout(kSendTimeoutSeconds, 0);
        client->set_keep_alive(true);
        client->set_follow_location(true);
        client->set_decompress(false);
        client->enable_server_certificate_verification(true);
        client->set_socket_options([this](socket_t fd) { WatchSocket(fd); });
        ProxySetting proxy;
        if (m_bUseSystemProxy && FindProxyFor(m_strHost, proxy)) {
            client->set_proxy(proxy.strHost, proxy.nPort);
            if (!proxy.strUser.empty()) client->set_proxy_basic_auth(proxy.strUser, proxy.strPassword);
        }

        httplib::Request request = m_request;
        request.response_handler = [this](const httplib::Response& response) { return OnHeaders(response); };
        request.content_receiver = [this](const char* pData, std::size_t nLength, std::uint64_t, std::uint64_t) {
            return OnBody(pData, nLength);
        };
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_bCancelled) {
                m_nError = static_cast<unsigned long>(httplib::Error::Canceled);
                m_bFinished = true;
                return;
            }
            m_client = client;
        }
        httplib::Result result = client->send(request);
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_client.reset();
            if (result && !m_bHeadersIn && !m_bCancelled) {
                m_response = result.value();
                m_bHeadersIn = true;
            }
            if (!result && !m_bCancelled) m_nError = static_cast<unsigned long>(result.error());
            if (!result && m_nError == 0) m_nError = kErrorBadArgument;
            m_bFinished = true;
        }
        m_changed.notify_all();
    }

    bool OnHeaders(const httplib::Response& response) {
        // Redirects pass through here too; only a final answer releases Send.
        if (response.status >= 300 && response.status < 400 && response.has_header("Location")) return true;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_response = response;
            m_bHeadersIn = true;
        }
        m_changed.notify_all();
        return true;
    }

    bool OnBody(const char* pData, std::size_t nLength) {
        std::unique_lock<std::mutex> guard(m_lock);
        m_changed.wait(guard, [this] { return m_strPending.size() - m_nPendingOffset < kMaxPendingBytes || m_bCancelled; });
        if (m_bCancelled) return false;
        m_strPending.append(pData, nLength);
        guard.unlock();
        m_changed.notify_all();
        return true;
    }

    bool m_bUseSystemProxy;
    bool m_bHttps = true;
    std::string m_strHost;
    int m_nPort = 443;
    httplib::Request m_request;
    std::optional<CServerConnectionSlot> m_slot;
    std::thread m_worker;
    unsigned long m_nLastError = 0;

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::shared_ptr<httplib::ClientImpl> m_client;
    int m_nWatchedFd = -1;
    httplib::Response m_response;
    bool m_bHeadersIn = false;
    bool m_bFinished = false;
    bool m_bCancelled = false;
    unsigned long m_nError = 0;
    std::string m_strPending;
    std::size_t m_nPendingOffset = 0;
};

}  // namespace

std::unique_ptr<IHttpTransfer> CreateHttplibTransfer(bool bUseSystemProxy) {
    return std::make_unique<CHttplibTransfer>(bUseSystemProxy);
}

std::string HttplibErrorText(unsigned long nCode) {
    return httplib::to_string(static_cast<httplib::Error>(nCode)) + "\n";
}

}  // namespace platform
