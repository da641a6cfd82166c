#include "platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace platform {
namespace {

std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> nCounter{0};
    char szSuffix[48];
    std::snprintf(szSuffix, sizeof(szSuffix), ".part-%d-%u", static_cast<int>(getpid()), nCounter.fetch_add(1));
    return path + szSuffix;
}

int WriteAll(int fd, const void* pData, std::size_t nSize) {
    const auto* pBytes = static_cast<const char*>(pData);
    while (nSize > 0) {
        const ssize_t nWritten = write(fd, pBytes, nSize);
        if (nWritten < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (nWritten == 0) return EIO;
        pBytes += nWritten;
        nSize -= static_cast<std::size_t>(nWritten);
    }
    return 0;
}

}  // namespace

int ReplaceFileContents(const std::string& path, const void* pData, std::size_t nSize) {
    const std::string temporary = TemporaryNameFor(path);
    // O_EXCL | O_NOFOLLOW: never write through a file or link that someone placed there.
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    int nError = WriteAll(fd, pData, nSize);
    if (close(fd) != 0 && nError == 0) nError = errno;
    if (nError == 0 && rename(temporary.c_str(), path.c_str()) != 0) nError = errno;
    if (nError != 0) unlink(temporary.c_str());
    return nError;
}

}  // namespace platform
