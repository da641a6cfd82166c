#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <sstream>

namespace platform {

bool Exists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0;
}

bool CanOpenForReading(const std::string& path) {
    if (path.empty() || IsFolder(path)) return false;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    close(fd);
    return true;
}

bool ReadFileHead(const std::string& path, std::size_t nMaxBytes, std::string& bytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return false;
    }
    bytes.assign(nMaxBytes, '\0');
    std::size_t nTotal = 0;
    while (nTotal < nMaxBytes) {
        const ssize_t nRead = read(fd, bytes.data() + nTotal, nMaxBytes - nTotal);
        if (nRead < 0 && errno == EINTR) continue;
        if (nRead <= 0) break;
        nTotal += static_cast<std::size_t>(nRead);
    }
    close(fd);
    bytes.resize(nTotal);
    return true;
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    if (IsFolder(path)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) return false;
    bytes = out.str();
    return true;
}

bool FreeBytesOfVolume(const std::string& path, std::uint64_t& freeBytes) {
    std::string probe = path.empty() ? std::string(".") : path;
    // An install folder usually does not exist yet: its volume is that of the nearest existing parent.
    while (!Exists(probe)) {
        const std::size_t slash = probe.find_last_of('/');
        if (slash == std::string::npos) {
            probe = ".";
            break;
        }
        probe = slash == 0 ? "/" : probe.substr(0, slash);
    }
    struct statvfs info {};
    if (statvfs(probe.c_str(), &info) != 0) return false;
    freeBytes = static_cast<std::uint64_t>(info.f_bfree) * info.f_frsize;
    return true;
}

std::string ExecutablePath() {
    char buffer[PATH_MAX + 1] = {};
    const ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

std::string ProgramFilesFolder() {
    return "/opt";
}

}  // namespace platform
