#pragma once
// Limits the rate of every connection on its own, as a throttled server would: each
// connection may send its next bytes only when its previous ones have had their time.
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace testsite {

class CConnectionPacer {
public:
    // nBytesPerSecond 0 lets everything through at once.
    explicit CConnectionPacer(std::int64_t nBytesPerSecond = 0);
    void SetRate(std::int64_t nBytesPerSecond);
    std::int64_t Rate() const { return m_nBytesPerSecond; }

    // Sleeps until the connection named strConnection may send nBytes more.
    void WaitToSend(const std::string& strConnection, std::size_t nBytes);

private:
    using Clock = std::chrono::steady_clock;
    std::int64_t m_nBytesPerSecond;
    std::mutex m_lock;
    std::map<std::string, Clock::time_point> m_mapNextSend;
};

}  // namespace testsite
