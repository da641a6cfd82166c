#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/HttpOptions.h"
#include "platform/HttpTransfer.h"

namespace platform {
namespace {

// Enough to keep the connection busy between two reads without holding a whole range.
constexpr std::size_t kMaxPendingBytes = 512 * 1024;
constexpr long kReceiveBufferBytes = 128 * 1024;
constexpr long kMaxRedirects = 10;

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Drives one easy handle through a multi handle, so that the body can be pulled in pieces
// by Read instead of being pushed all at once.
class CCurlTransfer : public IHttpTransfer {
public:
    CCurlTransfer(CURL* pEasy, CURLM* pMulti, bool bUseSystemProxy)
        : m_pEasy(pEasy), m_pMulti(pMulti), m_bUseSystemProxy(bUseSystemProxy) {}

    ~CCurlTransfer() override {
        if (m_bAdded) curl_multi_remove_handle(m_pMulti, m_pEasy);
        curl_easy_cleanup(m_pEasy);
        curl_multi_cleanup(m_pMulti);
        curl_slist_free_all(m_pHeaderList);
    }

    bool Connect(const std::string& strHost, int nPort, bool bHttps) override {
        if (strHost.empty()) return Fail(CURLE_URL_MALFORMAT);
        std::string strName = strHost;
        int nPortToUse = nPort;
        SplitHostPort(strHost, strName, nPortToUse);
        m_bHttps = bHttps;
        m_strServer = std::string(bHttps ? "https://" : "http://") + strName + ":" + std::to_string(nPortToUse);
        return true;
    }

    bool OpenRequest(const std::string& strVerb, const std::string& strObject) override {
        if (m_strServer.empty() || strVerb.empty()) return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
        std::string strUrl = m_strServer + "/" + EscapeObjectPath(strObject);
        CURLcode code = curl_easy_setopt(m_pEasy, CURLOPT_URL, strUrl.c_str());
        if (code != CURLE_OK) return Fail(code);
        if (strVerb == "HEAD") {
            curl_easy_setopt(m_pEasy, CURLOPT_NOBODY, 1L);
        } else if (strVerb != "GET") {
            curl_easy_setopt(m_pEasy, CURLOPT_CUSTOMREQUEST, strVerb.c_str());
        }
        // Always fetched from the server, never from a cache on the way.
        AppendHeader("Pragma: no-cache");
        AppendHeader("Cache-Control: no-cache");
        return true;
    }

    bool AddHeaders(const std::string& strLines) override {
        std::vector<std::pair<std::string, std::string>> headers;
        if (!SplitHeaderLines(strLines, headers)) return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
        for (const auto& header : headers) AppendHeader(header.first + ": " + header.second);
        return true;
    }

    bool Send() override {
        if (!Configure()) return false;
        CURLMcode multiCode = curl_multi_add_handle(m_pMulti, m_pEasy);
        if (multiCode != CURLM_OK) return Fail(CURLE_OUT_OF_MEMORY);
        m_bAdded = true;
        // The first body byte or the end of the exchange means the final headers are in.
        while (m_strPending.empty() && !m_bFinished) Pump();
        long nStatus = 0;
        curl_easy_getinfo(m_pEasy, CURLINFO_RESPONSE_CODE, &nStatus);
        // A body that breaks off after the headers is the reader's failure, not the sender's.
        if (m_bFinished && m_result != CURLE_OK && (nStatus == 0 || m_strPending.empty())) return Fail(m_result);
        m_nStatus = static_cast<int>(nStatus);
        return true;
    }

    int StatusCode() const override { return m_nStatus; }

    bool ResponseHeader(const std::string& strName, std::string& strValue) const override {
        for (const auto& header : m_responseHeaders) {
            if (EqualNoCase(header.first, strName)) {
                strValue = header.second;
                return true;
            }
        }
        return false;
    }

    int Read(char* pBuffer, int nSize) override {
        if (!m_bAdded || nSize <= 0) return -1;
        while (PendingBytes() == 0 && !m_bFinished) {
            if (m_bPaused) {
                m_bPaused = false;
                curl_easy_pause(m_pEasy, CURLPAUSE_CONT);
                if (PendingBytes() > 0) break;
            }
            Pump();
        }
        std::size_t nCount = std::min<std::size_t>(static_cast<std::size_t>(nSize), PendingBytes());
        if (nCount > 0) {
            std::memcpy(pBuffer, m_strPending.data() + m_nPendingOffset, nCount);
            m_nPendingOffset += nCount;
            if (m_nPendingOffset == m_strPending.size()) {
                m_strPending.clear();
                m_nPendingOffset = 0;
            }
            return static_cast<int>(nCount);
        }
        if (m_result != CURLE_OK) {
            m_nLastError = m_result;
            return -1;
        }
        return 0;
    }

    unsigned long LastError() const override { return m_nLastError; }

private:
    bool Fail(CURLcode code) {
        m_nLastError = code;
        return false;
    }

    void AppendHeader(const std::string& strLine) { m_pHeaderList = curl_slist_append(m_pHeaderList, strLine.c_str()); }

    std::size_t PendingBytes() const { return m_strPending.size() - m_nPendingOffset; }

    bool Configure() {
        curl_easy_setopt(m_pEasy, CURLOPT_HTTPHEADER, m_pHeaderList);
        curl_easy_setopt(m_pEasy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
        curl_easy_setopt(m_pEasy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_pEasy, CURLOPT_CONNECTTIMEOUT, static_cast<long>(kConnectTimeoutSeconds));
        // No byte for the receive time-out is a stalled server, not a slow one.
        curl_easy_setopt(m_pEasy, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(m_pEasy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(kReceiveTimeoutSeconds));
        curl_easy_setopt(m_pEasy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
        curl_easy_setopt(m_pEasy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(m_pEasy, CURLOPT_MAXREDIRS, kMaxRedirects);
        // Like the system stack: no redirect from a secure request to a plain one.
        curl_easy_setopt(m_pEasy, CURLOPT_REDIR_PROTOCOLS_STR, m_bHttps ? "https" : "http,https");
        if (!m_bUseSystemProxy) curl_easy_setopt(m_pEasy, CURLOPT_PROXY, "");
        curl_easy_setopt(m_pEasy, CURLOPT_HEADERFUNCTION, &CCurlTransfer::OnHeader);
        curl_easy_setopt(m_pEasy, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(m_pEasy, CURLOPT_WRITEFUNCTION, &CCurlTransfer::OnBody);
        curl_easy_setopt(m_pEasy, CURLOPT_WRITEDATA, this);
        return true;
    }

    void Pump() {
        int nRunning = 0;
        curl_multi_perform(m_pMulti, &nRunning);
        int nMessages = 0;
        while (CURLMsg* pMessage = curl_multi_info_read(m_pMulti, &nMessages)) {
            if (pMessage->msg == CURLMSG_DONE) {
                m_result = pMessage->data.result;
                m_bFinished = true;
            }
        }
        if (!m_bFinished && m_strPending.empty() && nRunning > 0) curl_multi_poll(m_pMulti, nullptr, 0, 1000, nullptr);
    }

    static std::size_t OnHeader(char* pData, std::size_t nSize, std::size_t nCount, void* pSelf) {
        auto* self = static_cast<CCurlTransfer*>(pSelf);
        std::string strLine(pData, nSize * nCount);
        while (!strLine.empty() && (strLine.back() == '\n' || strLine.back() == '\r')) strLine.pop_back();
        if (strLine.compare(0, 5, "HTTP/") == 0) {
            self->m_responseHeaders.clear();
        } else {
            std::vector<std::pair<std::string, std::string>> headers;
            if (SplitHeaderLines(strLine, headers)) {
                self->m_responseHeaders.insert(self->m_responseHeaders.end(), headers.begin(), headers.end());
            }
        }
        return nSize * nCount;
    }

    static std::size_t OnBody(char* pData, std::size_t nSize, std::size_t nCount, void* pSelf) {
        auto* self = static_cast<CCurlTransfer*>(pSelf);
        if (self->PendingBytes() >= kMaxPendingBytes) {
            self->m_bPaused = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        self->m_strPending.append(pData, nSize * nCount);
        return nSize * nCount;
    }

    CURL* m_pEasy;
    CURLM* m_pMulti;
    bool m_bUseSystemProxy;
    bool m_bHttps = false;
    bool m_bAdded = false;
    bool m_bFinished = false;
    bool m_bPaused = false;
    CURLcode m_result = CURLE_OK;
    unsigned long m_nLastError = 0;
    int m_nStatus = 0;
    std::string m_strServer;
    curl_slist* m_pHeaderList = nullptr;
    std::vector<std::pair<std::string, std::string>> m_responseHeaders;
    std::string m_strPending;
    std::size_t m_nPendingOffset = 0;
};

}  // namespace

std::unique_ptr<IHttpTransfer> CreateCurlTransfer(bool bUseSystemProxy) {
    InitCurlOnce();
    CURL* pEasy = curl_easy_init();
    CURLM* pMulti = pEasy ? curl_multi_init() : nullptr;
    if (!pMulti) {
        if (pEasy) curl_easy_cleanup(pEasy);
        return nullptr;
    }
    return std::make_unique<CCurlTransfer>(pEasy, pMulti, bUseSystemProxy);
}

std::string CurlErrorText(unsigned long nCode) {
    return std::string(curl_easy_strerror(static_cast<CURLcode>(nCode))) + "\n";
}

}  // namespace platform
