#include "platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {
namespace {

// A short name of its own in the target's folder, so that the rename stays on one file system and
// a target name near the length limit still leaves room for it.
std::string TemporaryTemplateFor(const std::string& path) {
    const std::size_t nSlash = path.rfind('/');
    return (nSlash == std::string::npos ? std::string() : path.substr(0, nSlash + 1)) + ".part-XXXXXX";
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
    std::string temporary = TemporaryTemplateFor(path);
    // A fresh exclusive name: never writes through a file or link that someone placed there.
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    int nError = fchmod(fd, 0644) == 0 ? 0 : errno;
    if (nError == 0) nError = WriteAll(fd, pData, nSize);
    if (close(fd) != 0 && nError == 0) nError = errno;
    if (nError == 0 && rename(temporary.c_str(), path.c_str()) != 0) nError = errno;
    if (nError != 0) unlink(temporary.c_str());
    return nError;
}

bool FileHoldsContents(const std::string& path, const void* pData, std::size_t nSize) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    bool bSame = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) == nSize;
    constexpr std::size_t kChunk = 64 * 1024;
    std::vector<char> vecChunk(bSame ? std::min(nSize, kChunk) : 0);
    const auto* pExpected = static_cast<const char*>(pData);
    std::size_t nDone = 0;
    while (bSame && nDone < nSize) {
        const ssize_t nRead = read(fd, vecChunk.data(), std::min(kChunk, nSize - nDone));
        if (nRead < 0 && errno == EINTR) continue;
        if (nRead <= 0 || std::memcmp(vecChunk.data(), pExpected + nDone, static_cast<std::size_t>(nRead)) != 0) {
            bSame = false;
            break;
        }
        nDone += static_cast<std::size_t>(nRead);
    }
    close(fd);
    return bSame;
}

}  // namespace platform
