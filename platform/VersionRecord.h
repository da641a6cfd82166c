#pragma once
// A file version compiled into an executable, in the ELF section ".norvane_version", so that it
// can be read back from the file alone (as the installer logs its own version at start).
#include <cstdint>
#include <string>

namespace platform {

struct VersionRecord {
    char szMagic[16];  // kVersionRecordMagic, NUL padded
    std::uint16_t wMajor;
    std::uint16_t wMinor;
    std::uint16_t wBuild;
    std::uint16_t wRevision;
};

inline constexpr char kVersionRecordMagic[16] = "NORVANE-VERSION";
inline constexpr const char* kVersionRecordSection = ".norvane_version";

// Defines the executable's record; use once, in a file linked into the executable itself.
#define NORVANE_DEFINE_VERSION_RECORD(major, minor, build, revision)                                      \
    extern "C" __attribute__((used, section(".norvane_version"))) const ::platform::VersionRecord         \
        g_norvaneVersionRecord = {"NORVANE-VERSION", (major), (minor), (build), (revision)}

// Reads the record of the ELF file at path; false when the file has none.
bool ReadVersionRecord(const std::string& path, VersionRecord& record);

}  // namespace platform
