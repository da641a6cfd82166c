#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/Process.h"

namespace platform {
namespace {

// Long enough for the kernel to tear down a killed process, short enough not to stall a caller.
constexpr int kExitWaitMs = 2000;

bool HasExited(int nProcessId) {
    std::string strStat = "/proc/" + std::to_string(nProcessId) + "/stat";
    FILE* pFile = std::fopen(strStat.c_str(), "r");
    if (!pFile) return true;
    char szBuffer[512] = {};
    std::size_t nRead = std::fread(szBuffer, 1, sizeof(szBuffer) - 1, pFile);
    std::fclose(pFile);
    std::string strText(szBuffer, nRead);
    std::size_t nParen = strText.rfind(')');
    return nParen == std::string::npos || nParen + 2 >= strText.size() || strText[nParen + 2] == 'Z' ||
           strText[nParen + 2] == 'X';
}

bool KillWithoutPidfd(int nProcessId) {
    if (kill(nProcessId, SIGKILL) != 0) return false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kExitWaitMs);
    while (!HasExited(nProcessId) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace

bool KillProcessById(int nProcessId) {
    if (nProcessId <= 0) return false;
    // A pidfd names this very process even if its id is reused meanwhile, and becomes
    // readable once it has ended.
    int nPidfd = static_cast<int>(syscall(SYS_pidfd_open, nProcessId, 0));
    if (nPidfd < 0) {
        if (errno == ENOSYS) return KillWithoutPidfd(nProcessId);
        return false;
    }
    bool bKilled = syscall(SYS_pidfd_send_signal, nPidfd, SIGKILL, nullptr, 0) == 0;
    if (bKilled) {
        pollfd wait{nPidfd, POLLIN, 0};
        while (poll(&wait, 1, kExitWaitMs) < 0 && errno == EINTR) {
        }
    }
    close(nPidfd);
    return bKilled;
}

bool MakeExecutable(const std::string& strPath, int& nError) {
    struct stat info {};
    if (stat(strPath.c_str(), &info) != 0) {
        nError = errno;
        return false;
    }
    mode_t nMode = info.st_mode & 07777;
    nMode |= S_IXUSR;
    if (nMode & S_IRGRP) nMode |= S_IXGRP;
    if (nMode & S_IROTH) nMode |= S_IXOTH;
    if (nMode != (info.st_mode & 07777) && chmod(strPath.c_str(), nMode) != 0) {
        nError = errno;
        return false;
    }
    return true;
}

}  // namespace platform
