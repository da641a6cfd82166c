#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace platform {
namespace {

constexpr std::size_t kCommLength = 15;
constexpr const char* kDeletedSuffix = " (deleted)";

std::string BaseName(const std::string& strPath) {
    std::size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

std::string ReadSmallFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A zombie still has its /proc entry but no longer runs.
bool IsGone(const std::string& strProcFolder) {
    std::string strStat = ReadSmallFile(strProcFolder + "/stat");
    std::size_t nParen = strStat.rfind(')');
    if (nParen == std::string::npos || nParen + 2 >= strStat.size()) return true;
    char chState = strStat[nParen + 2];
    return chState == 'Z' || chState == 'X' || chState == 'x';
}

// bDenied tells that the link exists but may not be read by this user.
bool ReadExeName(const std::string& strProcFolder, std::string& strName, bool& bDenied) {
    char szTarget[4096];
    ssize_t nLength = readlink((strProcFolder + "/exe").c_str(), szTarget, sizeof(szTarget) - 1);
    bDenied = nLength < 0 && (errno == EACCES || errno == EPERM);
    if (nLength <= 0) return false;
    std::string strTarget(szTarget, static_cast<std::size_t>(nLength));
    std::string strSuffix(kDeletedSuffix);
    if (strTarget.size() > strSuffix.size() && strTarget.ends_with(strSuffix)) {
        strTarget.resize(strTarget.size() - strSuffix.size());
    }
    strName = BaseName(strTarget);
    return !strName.empty();
}

// Without the rights to read /proc/PID/exe (another user's process), comm is the executable's
// name cut at 15 characters; argv[0] completes it when it agrees with comm.
bool ReadNameWithoutExe(const std::string& strProcFolder, std::string& strName) {
    std::string strComm = ReadSmallFile(strProcFolder + "/comm");
    if (!strComm.empty() && strComm.back() == '\n') strComm.pop_back();
    if (strComm.empty()) return false;
    std::string strCmdline = ReadSmallFile(strProcFolder + "/cmdline");
    std::string strArg0 = BaseName(strCmdline.substr(0, strCmdline.find('\0')));
    if (strArg0.size() >= strComm.size() && strArg0.compare(0, strComm.size(), strComm) == 0 &&
        strComm.size() == std::min(strArg0.size(), kCommLength)) {
        strName = strArg0;
        return true;
    }
    if (strComm.size() >= kCommLength) return false;
    strName = strComm;
    return true;
}

std::vector<int> ListProcessIds() {
    std::vector<int> ids;
    DIR* pDir = opendir("/proc");
    if (!pDir) return ids;
    while (dirent* pEntry = readdir(pDir)) {
        char* pEnd = nullptr;
        long nId = std::strtol(pEntry->d_name, &pEnd, 10);
        if (pEnd != pEntry->d_name && *pEnd == '\0' && nId > 0) ids.push_back(static_cast<int>(nId));
    }
    closedir(pDir);
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

bool FindProcessByExeName(const std::string& strExeName, int& nProcessId) {
    if (strExeName.empty()) return false;
    for (int nId : ListProcessIds()) {
        std::string strFolder = "/proc/" + std::to_string(nId);
        std::string strName;
        bool bDenied = false;
        // Kernel threads and zombies have no executable link and are never matched.
        if (!ReadExeName(strFolder, strName, bDenied) && !(bDenied && ReadNameWithoutExe(strFolder, strName))) {
            continue;
        }
        if (strName != strExeName || IsGone(strFolder)) continue;
        nProcessId = nId;
        return true;
    }
    return false;
}

}  // namespace platform
