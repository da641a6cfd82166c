#include "common/SilentSetupCommandLine.h"

std::wstring BuildSilentSetupCommandLine(const std::wstring& installPath, const std::wstring& progressFile) {
    std::wstring commandLine = L" /verysilent /norvane_down /wait_run /path=\"";
    commandLine += installPath;
    commandLine += L"\"";
    commandLine += L" /progress=\"";
    commandLine += progressFile;
    commandLine += L"\"";
    return commandLine;
}
