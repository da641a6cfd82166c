#include "platform/SocketTraffic.h"

#include <linux/sockios.h>
#include <netinet/in.h>
#include <linux/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cstddef>

namespace platform {

bool SocketBytesConsumed(int fd, std::uint64_t& nBytes) {
    tcp_info info{};
    socklen_t nInfoSize = sizeof(info);
    if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &nInfoSize) != 0 ||
        nInfoSize < offsetof(tcp_info, tcpi_bytes_received) + sizeof(info.tcpi_bytes_received)) {
        return false;
    }
    int nQueued = 0;
    if (ioctl(fd, SIOCINQ, &nQueued) != 0 || nQueued < 0) nQueued = 0;
    nBytes = info.tcpi_bytes_received - static_cast<std::uint64_t>(nQueued);
    return true;
}

}  // namespace platform
