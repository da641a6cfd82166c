#include "platform/SingleInstance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace platform {

bool AcquireInstanceName(const std::string& name) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // Abstract namespace: a leading NUL, no file; the kernel frees it when the holder exits.
    const std::string key = "norvane-instance/" + name;
    const std::size_t length = std::min(key.size(), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, key.data(), length);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        close(fd);
        return false;
    }
    return true;  // the descriptor stays open until the process ends
}

}  // namespace platform
