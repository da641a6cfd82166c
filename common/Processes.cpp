#include "common/Processes.h"

#include <vector>

#include "common/SilentSetupCommandLine.h"
#include "log/Log.h"
#include "platform/CommandLine.h"
#include "platform/Process.h"
#include "platform/Text.h"

bool FindProcess(const std::wstring& exeName, std::uint32_t& processId) {
    // Names are compared whole: a cut name could match a longer executable's prefix.
    int nFound = 0;
    if (!platform::FindProcessByExeName(platform::WideToUtf8(exeName), nFound)) return false;
    processId = static_cast<std::uint32_t>(nFound);
    return true;
}

bool KillProcess(std::uint32_t processId) {
    if (processId == 0 || processId > 0x7FFFFFFFu) return false;
    return platform::KillProcessById(static_cast<int>(processId));
}

int ShellOpen(void* /*ownerWindow*/, const std::wstring& target) {
    std::string strOpener = platform::FindProgramInPath("xdg-open");
    if (strOpener.empty()) return -2;
    int nError = 0;
    // Browsers refuse to run as root; an unknown desktop user leaves the installer's own rights.
    platform::ERunAs eRunAs = platform::kRunAsCurrentUser;
    platform::CDesktopUser user;
    if (platform::GetInvokingDesktopUser(user)) eRunAs = platform::kRunAsDesktopUser;
    if (!platform::StartDetachedProgram(strOpener, {platform::WideToUtf8(target)}, eRunAs, nError)) return -nError;
    return 0;
}

bool RunSilentSetup(const std::wstring& setupPath, const std::wstring& installFolder,
                    const std::wstring& progressFile) {
    std::string strSetup = platform::WideToUtf8(setupPath);
    std::string strCommandLine = platform::WideToUtf8(BuildSilentSetupCommandLine(installFolder, progressFile));
    std::vector<std::string> args = platform::SplitCommandLine(strCommandLine);
    // Quotation marks may stand in POSIX folder names: such a path would reach the setup as
    // another folder, so the setup is not started with it.
    if (args.size() != 5 || args[3] != "/path=" + platform::WideToUtf8(installFolder) ||
        args[4] != "/progress=" + platform::WideToUtf8(progressFile)) {
        LOG_INFO("ERR: RunSilentSetup: the paths cannot be passed on the command line: %s",
                 platform::WideToUtf8(BuildSilentSetupCommandLine(installFolder, progressFile)).c_str());
        return false;
    }
    int nError = 0;
    // A downloaded file carries no execute bit.
    if (!platform::MakeExecutable(strSetup, nError)) {
        LOG_API_ERROR("chmod", static_cast<unsigned long>(nError), nullptr);
        LOG_INFO("ERR: RunSilentSetup: setup cannot be started: %s", strSetup.c_str());
        return false;
    }
    if (!platform::RunProgramAndWait(strSetup, args, nError)) {
        LOG_API_ERROR("execve", static_cast<unsigned long>(nError), nullptr);
        LOG_INFO("ERR: RunSilentSetup: setup cannot be started: %s", strSetup.c_str());
        return false;
    }
    return true;
}

void LaunchProgram(const std::wstring& programPath, bool throughShell) {
    int nError = 0;
    platform::StartDetachedProgram(platform::WideToUtf8(programPath), {},
                                   throughShell ? platform::kRunAsCurrentUser : platform::kRunAsDesktopUser, nError);
}
