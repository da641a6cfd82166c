#include "Window/StartUp.h"

#include <cstdio>
#include <mutex>

#include "Window/ResourcePack.h"
#include "common/LanguageManager.h"
#include "common/SystemQueries.h"
#include "log/Log.h"
#include "platform/Elevation.h"
#include "platform/SingleInstance.h"
#include "platform/Text.h"

namespace {

constexpr int kExitAnotherInstance = -1;
constexpr int kExitNoRights = 1;
constexpr const wchar_t* kLogFileName = L"norvane_down.log";

void LogSystemInformation(const std::wstring& modulePath) {
    LOG_INFOW(L"Windows Version:%s", GetWindowsProductName().c_str());
    LOG_INFOW(L"Windows Bit:%s", IsWindows64Bit() ? L"64" : L"32");
    LOG_INFOW(L"downloader version:%s", GetFileVersionText(modulePath).c_str());
}

}  // namespace

std::wstring InstanceNameOfPath(const std::wstring& modulePath) {
    return GetBaseNameOfPath(modulePath);
}

LanguageManager& InstallerLanguage() {
    static LanguageManager languages;
    return languages;
}

const std::wstring& PrepareWorkFolder() {
    static std::wstring workFolder;
    static std::once_flag prepared;
    std::call_once(prepared, [] {
        workFolder = GetWorkFolder();
        InitLog(kLogFileName, (workFolder + L"Log").c_str());
        PrepareLanguage(workFolder, InstallerLanguage());
    });
    return workFolder;
}

int RunInstaller() {
    const std::wstring modulePath = GetModulePath();
    if (!platform::IsElevated()) {
        platform::RelaunchElevated(platform::WideToUtf8(modulePath));
        std::fputs("Norvane Vellumpod Setup needs administrator rights to install for all users.\n"
                   "Start it again with sudo, or as root.\n",
                   stderr);
        return kExitNoRights;
    }
    if (!platform::AcquireInstanceName(platform::WideToUtf8(InstanceNameOfPath(modulePath)))) {
        return kExitAnotherInstance;
    }
    const std::wstring& workFolder = PrepareWorkFolder();
    LogSystemInformation(modulePath);
    std::printf("log: %s\n", platform::WideToUtf8(workFolder + L"Log/" + kLogFileName).c_str());
    return 0;
}
