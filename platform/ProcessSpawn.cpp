#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Process.h"

extern char** environ;

namespace platform {
namespace {

#ifndef CLOSE_RANGE_CLOEXEC
constexpr unsigned int CLOSE_RANGE_CLOEXEC = 1U << 2;
#endif

// Everything the child needs is prepared before fork: after it only async-signal-safe calls
// are allowed, because other threads may hold locks (malloc's among them).
struct CExecPlan {
    std::string strPath;
    std::vector<std::string> argStorage;
    std::vector<std::string> envStorage;
    std::vector<char*> argv;
    std::vector<char*> envp;
    bool bOwnEnvironment = false;
    bool bSwitchUser = false;
    uid_t nUid = 0;
    gid_t nGid = 0;
    std::vector<gid_t> groups;
    std::string strWorkFolder;

    void Seal() {
        for (std::string& arg : argStorage) argv.push_back(arg.data());
        argv.push_back(nullptr);
        for (std::string& env : envStorage) envp.push_back(env.data());
        envp.push_back(nullptr);
    }
};

CExecPlan MakePlan(const std::string& strPath, const std::vector<std::string>& args) {
    CExecPlan plan;
    plan.strPath = strPath;
    plan.argStorage.push_back(strPath);
    plan.argStorage.insert(plan.argStorage.end(), args.begin(), args.end());
    return plan;
}

void AddEnvironmentValue(CExecPlan& plan, const char* pszName, const std::string& strValue) {
    plan.envStorage.push_back(std::string(pszName) + "=" + strValue);
}

void KeepEnvironmentValue(CExecPlan& plan, const char* pszName) {
    if (const char* pszValue = std::getenv(pszName)) AddEnvironmentValue(plan, pszName, pszValue);
}

// The desktop user's own environment, plus what reaches their display, session bus and language.
void PlanAsUser(CExecPlan& plan, const CDesktopUser& user) {
    plan.bSwitchUser = true;
    plan.bOwnEnvironment = true;
    plan.nUid = user.nUid;
    plan.nGid = user.nGid;
    plan.strWorkFolder = user.strHome;
    int nCount = 64;
    plan.groups.resize(static_cast<std::size_t>(nCount));
    if (getgrouplist(user.strName.c_str(), user.nGid, plan.groups.data(), &nCount) < 0) {
        plan.groups.resize(static_cast<std::size_t>(nCount));
        getgrouplist(user.strName.c_str(), user.nGid, plan.groups.data(), &nCount);
    }
    plan.groups.resize(static_cast<std::size_t>(nCount > 0 ? nCount : 0));

    std::string strRuntime = "/run/user/" + std::to_string(user.nUid);
    AddEnvironmentValue(plan, "HOME", user.strHome);
    AddEnvironmentValue(plan, "USER", user.strName);
    AddEnvironmentValue(plan, "LOGNAME", user.strName);
    AddEnvironmentValue(plan, "SHELL", user.strShell);
    AddEnvironmentValue(plan, "PATH", "/usr/local/bin:/usr/bin:/bin");
    const char* pszAuthority = std::getenv("XAUTHORITY");
    AddEnvironmentValue(plan, "XAUTHORITY", pszAuthority ? pszAuthority : user.strHome + "/.Xauthority");
    struct stat info {};
    if (stat(strRuntime.c_str(), &info) == 0) {
        AddEnvironmentValue(plan, "XDG_RUNTIME_DIR", strRuntime);
        if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
            AddEnvironmentValue(plan, "DBUS_SESSION_BUS_ADDRESS", "unix:path=" + strRuntime + "/bus");
        }
    }
    for (const char* pszName : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "LANG", "LANGUAGE",
                                "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE"}) {
        KeepEnvironmentValue(plan, pszName);
    }
}

bool IsElevated() { return geteuid() == 0; }

void ResetSignals() {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // An ignored SIGPIPE would be inherited through exec.
    signal(SIGPIPE, SIG_DFL);
}

void ReportAndExit(int nErrorPipe) {
    int nError = errno;
    ssize_t nIgnored = write(nErrorPipe, &nError, sizeof(nError));
    (void)nIgnored;
    _exit(127);
}

// Runs in the child (or grandchild) after fork; never returns.
[[noreturn]] void ExecPlan(const CExecPlan& plan, int nErrorPipe) {
    ResetSignals();
    // No descriptor of the installer reaches the program; the error pipe closes on exec.
    syscall(SYS_close_range, 3U, UINT_MAX, CLOSE_RANGE_CLOEXEC);
    if (plan.bSwitchUser) {
        if (setgroups(plan.groups.size(), plan.groups.data()) != 0 || setgid(plan.nGid) != 0 ||
            setuid(plan.nUid) != 0) {
            ReportAndExit(nErrorPipe);
        }
        if (!plan.strWorkFolder.empty() && chdir(plan.strWorkFolder.c_str()) != 0) {
            ssize_t nIgnored = chdir("/");
            (void)nIgnored;
        }
    }
    char* const* envp = plan.bOwnEnvironment ? plan.envp.data() : environ;
    execve(plan.strPath.c_str(), plan.argv.data(), envp);
    ReportAndExit(nErrorPipe);
    _exit(127);
}

// Reads the child's exec error, if any: end of file means exec succeeded.
bool ReadExecError(int nErrorPipe, int& nError) {
    int nChildError = 0;
    ssize_t nRead;
    do {
        nRead = read(nErrorPipe, &nChildError, sizeof(nChildError));
    } while (nRead < 0 && errno == EINTR);
    if (nRead == static_cast<ssize_t>(sizeof(nChildError))) {
        nError = nChildError;
        return true;
    }
    return false;
}

void WaitForChild(pid_t nChild) {
    while (waitpid(nChild, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

bool RunProgramAndWait(const std::string& strPath, const std::vector<std::string>& args, int& nError) {
    CExecPlan plan = MakePlan(strPath, args);
    plan.Seal();
    int gate[2];
    int errorPipe[2];
    if (pipe2(gate, O_CLOEXEC) != 0) {
        nError = errno;
        return false;
    }
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        nError = errno;
        close(gate[0]);
        close(gate[1]);
        return false;
    }
    pid_t nChild = fork();
    if (nChild == 0) {
        close(gate[1]);
        close(errorPipe[0]);
        char chGo = 0;
        ssize_t nRead;
        do {
            nRead = read(gate[0], &chGo, 1);
        } while (nRead < 0 && errno == EINTR);
        if (nRead != 1) _exit(127);
        ExecPlan(plan, errorPipe[1]);
    }
    int nForkError = errno;
    close(gate[0]);
    close(errorPipe[1]);
    if (nChild < 0) {
        close(gate[1]);
        close(errorPipe[0]);
        nError = nForkError;
        return false;
    }
    ssize_t nWritten = write(gate[1], "g", 1);
    close(gate[1]);
    bool bFailed = nWritten != 1;
    if (bFailed) nError = EPIPE;
    int nExecError = 0;
    if (ReadExecError(errorPipe[0], nExecError)) {
        bFailed = true;
        nError = nExecError;
    }
    close(errorPipe[0]);
    WaitForChild(nChild);
    return !bFailed;
}

bool StartDetachedProgram(const std::string& strPath, const std::vector<std::string>& args, ERunAs eRunAs,
                          int& nError) {
    CExecPlan plan = MakePlan(strPath, args);
    if (eRunAs == kRunAsDesktopUser && IsElevated()) {
        CDesktopUser user;
        if (!GetInvokingDesktopUser(user)) {
            nError = EPERM;
            return false;
        }
        PlanAsUser(plan, user);
    }
    plan.Seal();
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        nError = errno;
        return false;
    }
    // The middle process ends at once, so the program is adopted by init and never a zombie of ours.
    pid_t nMiddle = fork();
    if (nMiddle == 0) {
        close(errorPipe[0]);
        setsid();
        pid_t nProgram = fork();
        if (nProgram == 0) ExecPlan(plan, errorPipe[1]);
        if (nProgram < 0) ReportAndExit(errorPipe[1]);
        _exit(0);
    }
    int nForkError = errno;
    close(errorPipe[1]);
    if (nMiddle < 0) {
        close(errorPipe[0]);
        nError = nForkError;
        return false;
    }
    int nExecError = 0;
    bool bFailed = ReadExecError(errorPipe[0], nExecError);
    close(errorPipe[0]);
    WaitForChild(nMiddle);
    if (bFailed) nError = nExecError;
    return !bFailed;
}

std::string FindProgramInPath(const std::string& strName) {
    if (strName.find('/') != std::string::npos) return access(strName.c_str(), X_OK) == 0 ? strName : "";
    const char* pszPath = std::getenv("PATH");
    std::string strSearch = pszPath && *pszPath ? pszPath : "/usr/local/bin:/usr/bin:/bin";
    std::size_t nStart = 0;
    while (nStart <= strSearch.size()) {
        std::size_t nEnd = strSearch.find(':', nStart);
        if (nEnd == std::string::npos) nEnd = strSearch.size();
        std::string strFolder = strSearch.substr(nStart, nEnd - nStart);
        if (strFolder.empty()) strFolder = ".";
        std::string strCandidate = strFolder + "/" + strName;
        struct stat info {};
        if (stat(strCandidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(strCandidate.c_str(), X_OK) == 0) {
            return strCandidate;
        }
        nStart = nEnd + 1;
    }
    return "";
}

}  // namespace platform
