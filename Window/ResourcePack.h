#pragma once
// Unpacking the product pack (resource RCDATA 105) into work folder + "language/".
#include <cstdint>
#include <span>
#include <string>

class LanguageManager;

struct UnpackCounts {
    bool bOpened = false;
    int nFiles = 0;
    int nFolders = 0;
    int nSkipped = 0;
};

// Largest entry and largest sum of entries that an unpack accepts.
constexpr std::uint32_t kMaxUnpackEntryBytes = 64u << 20;
constexpr std::uint64_t kMaxUnpackTotalBytes = 256u << 20;

// Writes every entry of the zip in bytes below strTargetFolder (created when missing). Entries
// whose names would leave the folder, damaged entries and oversized ones are skipped and logged;
// existing files are replaced whole, other files are left alone.
UnpackCounts UnpackArchive(std::span<const std::uint8_t> bytes, const std::wstring& strTargetFolder);

// Unpacks the executable's product pack; true when the pack was found and every entry written.
bool LoadResZipFile(const std::wstring& strTargetFolder);

// The one-time language set-up: unpack into workFolder + "language/", then initialise lm from
// there and log the chosen language. True when the pack unpacked cleanly.
bool PrepareLanguage(const std::wstring& strWorkFolder, LanguageManager& lm);
