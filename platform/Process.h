#pragma once
// Finding, stopping and starting processes. Narrow text is UTF-8; no function here writes
// a log record, failures come back as results and errno values.
#include <string>
#include <vector>

namespace platform {

// Process id of the first running process, in ascending id order, whose executable file name
// (without folder) equals strExeName exactly. The name comes from /proc/PID/exe, because
// /proc/PID/comm is cut at 15 characters.
bool FindProcessByExeName(const std::string& strExeName, int& nProcessId);

// Sends SIGKILL and waits briefly until the process has gone, so that a following
// FindProcessByExeName no longer sees it. False when the process does not exist.
bool KillProcessById(int nProcessId);

// Adds the execute bits wherever the matching read bits are set (and always for the owner).
bool MakeExecutable(const std::string& strPath, int& nError);

// Starts strPath with argv[0] = strPath and the given arguments, the caller's environment
// and current folder and no inherited descriptors, then waits until it has ended. The child
// is held at a start gate until the parent has finished its side of the start. False (with
// the errno value) when the program could not be started.
bool RunProgramAndWait(const std::string& strPath, const std::vector<std::string>& args, int& nError);

// The desktop user who started the elevated installer (PKEXEC_UID or SUDO_UID).
struct CDesktopUser {
    unsigned int nUid = 0;
    unsigned int nGid = 0;
    std::string strName;
    std::string strHome;
    std::string strShell;
};
bool GetInvokingDesktopUser(CDesktopUser& user);

enum ERunAs {
    kRunAsCurrentUser,
    // The invoking desktop user when running as root; the current user when not elevated.
    // Refused (EPERM) when running as root and the invoking user is unknown.
    kRunAsDesktopUser,
};

// Starts a program that outlives the caller and is never waited for (no zombie is left).
// False (with the errno value) when it could not be started.
bool StartDetachedProgram(const std::string& strPath, const std::vector<std::string>& args, ERunAs eRunAs,
                          int& nError);

// Full path of a program found in PATH; empty when none.
std::string FindProgramInPath(const std::string& strName);

}  // namespace platform
