#include "tools/site/ConnectionPacer.h"

#include <thread>

namespace testsite {

CConnectionPacer::CConnectionPacer(std::int64_t nBytesPerSecond) : m_nBytesPerSecond(nBytesPerSecond) {}

void CConnectionPacer::SetRate(std::int64_t nBytesPerSecond) { m_nBytesPerSecond = nBytesPerSecond; }

void CConnectionPacer::WaitToSend(const std::string& strConnection, std::size_t nBytes) {
    if (m_nBytesPerSecond <= 0) return;
    Clock::time_point sendAt;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Clock::time_point now = Clock::now();
        Clock::time_point& next = m_mapNextSend[strConnection];
        // An idle connection earns no credit: a burst after a pause would beat the limit.
        sendAt = next > now ? next : now;
        auto cost = std::chrono::nanoseconds(static_cast<std::int64_t>(nBytes) * 1000000000LL / m_nBytesPerSecond);
        next = sendAt + cost;
    }
    std::this_thread::sleep_until(sendAt);
}

}  // namespace testsite
