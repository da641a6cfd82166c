#include "tests/process/ProcessFixtures.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>

extern char** environ;

namespace processtest {

std::string MakeSleeper(const testsupport::CTempDir& folder, const std::string& strName) {
    std::string strPath = folder.File(strName);
    // A second instance runs the same copy: a running file cannot be overwritten.
    if (std::filesystem::exists(strPath)) return strPath;
    std::filesystem::copy_file("/bin/sleep", strPath);
    chmod(strPath.c_str(), 0755);
    return strPath;
}

int StartProgram(const std::string& strProgram) {
    pid_t nId = -1;
    char szSeconds[] = "30";
    char* argv[] = {const_cast<char*>(strProgram.c_str()), szSeconds, nullptr};
    if (posix_spawn(&nId, strProgram.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
    return nId;
}

void StopProgram(int nProcessId) {
    if (nProcessId <= 0) return;
    kill(nProcessId, SIGKILL);
    waitpid(nProcessId, nullptr, 0);
}

bool WriteScript(const std::string& strPath, const std::string& strBody, bool bExecutable) {
    if (!testsupport::WriteWholeFile(strPath, "#!/bin/sh\n" + strBody)) return false;
    return chmod(strPath.c_str(), bExecutable ? 0755 : 0644) == 0;
}

}  // namespace processtest
