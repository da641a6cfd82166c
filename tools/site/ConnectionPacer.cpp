#include "tools/site/ConnectionPacer.h"

#include <thread>

namespace testsite {
namespace {

constexpr auto kCatchUp = std::chrono::milliseconds(20);

}  // namespace

CConnectionPacer::CConnectionPacer(std::int64_t nBytesPerSecond) : m_nBytesPerSecond(nBytesPerSecond) {}

void CConnectionPacer::SetRate(std::int64_t nBytesPerSecond) { m_nBytesPerSecond = nBytesPerSecond; }

void CConnectionPacer::WaitToSend(const std::string& strConnection, std::size_t nBytes) {
    if (m_nBytesPerSecond <= 0) return;
    Clock::time_point sendAt;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Clock::time_point now = Clock::now();
        Clock::time_point& next = m_mapNextSend[strConnection];
        // Oversleeping a little is made up for at once, or every late wake-up would lower the
        // rate; a connection idle for longer (or new) earns no credit beyond that.
        if (next < now - kCatchUp) next = now;
        sendAt = next;
        next += std::chrono::nanoseconds(static_cast<std::int64_t>(nBytes) * 1000000000LL / m_nBytesPerSecond);
    }
    std::this_thread::sleep_until(sendAt);
}

}  // namespace testsite
