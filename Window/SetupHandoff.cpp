#include "Window/SetupHandoff.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "Window/DomainText.h"
#include "common/Processes.h"
#include "log/Log.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace {

constexpr std::size_t kProgressBytes = 10;
constexpr std::size_t kDomainBufferBytes = 256;

int ParseLeadingInteger(const char* pszText) {
    const char* p = pszText;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
    bool bNegative = false;
    if (*p == '+' || *p == '-') bNegative = *p++ == '-';
    std::int64_t nValue = 0;
    // Ten bytes hold at most ten digits, beyond int's range but well within 64 bits.
    while (*p >= '0' && *p <= '9') {
        nValue = nValue * 10 + (*p++ - '0');
        if (nValue > static_cast<std::int64_t>(INT_MAX) + 1) break;
    }
    if (bNegative) nValue = -nValue;
    if (nValue > INT_MAX) return INT_MAX;
    if (nValue < INT_MIN) return INT_MIN;
    return static_cast<int>(nValue);
}

std::string RemoveCrLfPairs(const std::string& strText) {
    std::string strResult;
    for (std::size_t i = 0; i < strText.size(); ++i) {
        if (strText[i] == '\r' && i + 1 < strText.size() && strText[i + 1] == '\n') {
            ++i;
            continue;
        }
        strResult += strText[i];
    }
    return strResult;
}

}  // namespace

bool ReadProgressFile(const std::wstring& progressFile, int& setupPercent) {
    std::string strHead;
    if (!platform::ReadFileHead(platform::WideToUtf8(progressFile), kProgressBytes, strHead)) return false;
    // The text ends at the first NUL, as in a zeroed buffer.
    setupPercent = ParseLeadingInteger(strHead.c_str());
    return true;
}

int MapSetupProgress(int setupPercent, int downloadRatio) {
    std::int64_t nPercent =
        downloadRatio + (static_cast<std::int64_t>(100 - downloadRatio) * setupPercent) / 100;
    if (nPercent > INT_MAX) return INT_MAX;
    if (nPercent < INT_MIN) return INT_MIN;
    return static_cast<int>(nPercent);
}

std::wstring LoadDomainValue(std::string_view resourceBytes) {
    LOG_INFO("LoadDomainFile");
    char szBuffer[kDomainBufferBytes] = {};
    std::memcpy(szBuffer, resourceBytes.data(), std::min(resourceBytes.size(), kDomainBufferBytes - 1));
    std::string strBytes(szBuffer);
    // The bytes pass through unchanged: the domain file gets back what the resource held.
    std::wstring domain = DomainBytesToWide(RemoveCrLfPairs(strBytes));
    LOG_INFO("Domain:%s", strBytes.c_str());
    return domain;
}

bool WriteDomainFile(const std::wstring& domain, const std::wstring& installPath,
                     const std::wstring& productSubFolder) {
    std::string strBytes = WideToDomainBytes(domain);
    if (strBytes.empty()) return false;
    std::string strPath = platform::WideToUtf8(installPath + productSubFolder + kDomainFileName);
    // The install folder may be writable by others: a link placed at the file's name is
    // replaced, never written through with the installer's rights.
    return platform::ReplaceFileContents(strPath, strBytes.data(), strBytes.size()) == 0;
}

void KillSilentInstallProcess() {
    std::uint32_t processId = 0;
    if (!FindProcess(kSilentSetupProcessName, processId)) return;
    LOG_INFO("KillSilentInstallProcess");
    KillProcess(processId);
}

void CleanUpSetup(const std::wstring& workFolder, const std::wstring& progressFile) {
    KillSilentInstallProcess();
    std::remove(platform::WideToUtf8(workFolder + kDownloadedSetupName).c_str());
    std::remove(platform::WideToUtf8(progressFile).c_str());
}
