#include "platform/ThreadInfo.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <string>

namespace platform {

long CurrentThreadId() {
    return static_cast<long>(syscall(SYS_gettid));
}

bool IsDebuggerAttached() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("TracerPid:", 0) == 0) return std::stol(line.substr(10)) != 0;
    }
    return false;
}

void BreakIntoDebugger() {
    std::raise(SIGTRAP);
}

}  // namespace platform
