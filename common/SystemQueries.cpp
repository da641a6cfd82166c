#include "common/SystemQueries.h"

#include "platform/FileSystem.h"
#include "platform/SystemInfo.h"
#include "platform/Text.h"
#include "platform/VersionRecord.h"

std::wstring GetWindowsProductName() {
    return platform::Utf8ToWide(platform::OperatingSystemName());
}

bool IsWindows64Bit() {
    const std::string machine = platform::MachineArchitecture();
    return machine == "x86_64" || machine == "ia64";
}

std::wstring GetUILanguageCode() {
    return platform::FormatWide(L"%d", platform::UserInterfaceLanguageId());
}

bool GetDiskFreeSizeMB(const std::wstring& path, std::int32_t& freeMB) {
    std::uint64_t freeBytes = 0;
    if (!platform::FreeBytesOfVolume(platform::WideToUtf8(path), freeBytes)) return false;
    freeMB = static_cast<std::int32_t>(static_cast<std::uint32_t>(freeBytes >> 20));
    return true;
}

std::wstring GetProgramFilesFolder() {
    return platform::Utf8ToWide(platform::ProgramFilesFolder()) + L"/";
}

std::wstring GetModulePath() {
    return platform::Utf8ToWide(platform::ExecutablePath());
}

std::wstring GetWorkFolder() {
    return GetProgramFilesFolder() + L"norvane_down/" + GetBaseNameOfPath(GetModulePath()) + L"/";
}

std::wstring GetFileVersionText(const std::wstring& filePath) {
    platform::VersionRecord record{};
    if (!platform::ReadVersionRecord(platform::WideToUtf8(filePath), record)) return {};
    return platform::FormatWide(L"%d.%d.%d.%d", record.wMajor, record.wMinor, record.wBuild, record.wRevision);
}
