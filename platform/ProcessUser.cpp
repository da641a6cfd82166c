#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace platform {

bool GetInvokingDesktopUser(CDesktopUser& user) {
    const char* pszUid = std::getenv("PKEXEC_UID");
    if (!pszUid || !*pszUid) pszUid = std::getenv("SUDO_UID");
    if (!pszUid || !*pszUid) return false;
    char* pEnd = nullptr;
    unsigned long nUid = std::strtoul(pszUid, &pEnd, 10);
    if (*pEnd != '\0' || nUid == 0) return false;

    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* pFound = nullptr;
    if (getpwuid_r(static_cast<uid_t>(nUid), &entry, buffer.data(), buffer.size(), &pFound) != 0 || !pFound) {
        return false;
    }
    user.nUid = pFound->pw_uid;
    user.nGid = pFound->pw_gid;
    user.strName = pFound->pw_name ? pFound->pw_name : "";
    user.strHome = pFound->pw_dir ? pFound->pw_dir : "/";
    user.strShell = pFound->pw_shell ? pFound->pw_shell : "/bin/sh";
    return true;
}

}  // namespace platform
