#pragma once
// What the kernel knows about a connected TCP socket's traffic.
#include <cstdint>

namespace platform {

// Bytes the program has taken out of the socket so far (received minus still queued).
bool SocketBytesConsumed(int fd, std::uint64_t& nBytes);

}  // namespace platform
