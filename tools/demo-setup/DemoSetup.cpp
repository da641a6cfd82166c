// The demo setup program. Started by the installer as
//   norvane-download.exe /verysilent /norvane_down /wait_run /path=FOLDER/ /progress=FILE
// it copies itself to a private folder as "norvane-download.tmp", runs that copy, which
// writes the progress file from 0 to 100 over a few seconds (NORVANE_DEMO_SETUP_MS, default
// 3000) and installs the demo product as FOLDER/{dir1}/{dir2}/{exe name}, and waits for it.
//   norvane-demo-setup-stub --pack PRODUCT OUTPUT   makes the setup that carries PRODUCT.
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/demo-setup/DemoPayload.h"
#include "tools/demo-setup/DemoSetupChild.h"

namespace {

const char kChildName[] = "norvane-download.tmp";
const char kChildSwitch[] = "--setup-child";

bool TakeValue(const std::string& strArg, const char* pszSwitch, std::string& strValue) {
    std::size_t nLength = std::strlen(pszSwitch);
    if (strArg.size() < nLength || strncasecmp(strArg.c_str(), pszSwitch, nLength) != 0) return false;
    strValue = strArg.substr(nLength);
    return true;
}

bool ParseSilentCommandLine(int argc, char** argv, demosetup::SetupRequest& request, bool& bSilent) {
    bSilent = false;
    bool bHasPath = false;
    for (int i = 1; i < argc; ++i) {
        std::string strArg = argv[i];
        if (strcasecmp(strArg.c_str(), "/verysilent") == 0) {
            bSilent = true;
        } else if (TakeValue(strArg, "/path=", request.strInstallPath)) {
            bHasPath = !request.strInstallPath.empty();
        } else if (TakeValue(strArg, "/progress=", request.strProgressFile)) {
        } else if (strcasecmp(strArg.c_str(), "/norvane_down") != 0 && strcasecmp(strArg.c_str(), "/wait_run") != 0) {
            std::fprintf(stderr, "norvane demo setup: unknown argument %s\n", strArg.c_str());
        }
    }
    if (const char* pszMs = std::getenv("NORVANE_DEMO_SETUP_MS")) request.nDurationMs = std::atoi(pszMs);
    if (request.nDurationMs < 0) request.nDurationMs = 0;
    return bHasPath;
}

std::string SelfPath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

// The child is a copy, not a link: a process is known by its executable's own file name.
int RunChildCopy(const demosetup::SetupRequest& request) {
    char szFolder[] = "/tmp/norvane-setup-XXXXXX";
    if (!mkdtemp(szFolder)) {
        std::perror("norvane demo setup: mkdtemp");
        return 1;
    }
    std::string strChild = std::string(szFolder) + "/" + kChildName;
    std::error_code error;
    std::filesystem::copy_file(SelfPath(), strChild, error);
    chmod(strChild.c_str(), 0755);
    int nExitCode = 1;
    pid_t nChild = error ? -1 : fork();
    if (nChild == 0) {
        std::string strMs = std::to_string(request.nDurationMs);
        execl(strChild.c_str(), kChildName, kChildSwitch, request.strInstallPath.c_str(),
              request.strProgressFile.c_str(), strMs.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (nChild > 0) {
        int nStatus = 0;
        while (waitpid(nChild, &nStatus, 0) < 0 && errno == EINTR) {
        }
        nExitCode = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 1;
    } else {
        std::fprintf(stderr, "norvane demo setup: cannot start %s\n", strChild.c_str());
    }
    std::filesystem::remove_all(szFolder, error);
    return nExitCode;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--pack") {
        return demosetup::PackPayload(SelfPath(), argv[2], argv[3]) ? 0 : 1;
    }
    if (argc == 5 && std::string(argv[1]) == kChildSwitch) {
        demosetup::SetupRequest request;
        request.strInstallPath = argv[2];
        request.strProgressFile = argv[3];
        request.nDurationMs = std::atoi(argv[4]);
        return demosetup::RunSetupChild(request, SelfPath());
    }
    demosetup::SetupRequest request;
    bool bSilent = false;
    if (!ParseSilentCommandLine(argc, argv, request, bSilent) || !bSilent) {
        std::fprintf(stderr,
                     "norvane demo setup runs silently only:\n"
                     "  %s /verysilent /norvane_down /wait_run /path=FOLDER/ /progress=FILE\n",
                     argv[0]);
        return 2;
    }
    return RunChildCopy(request);
}
