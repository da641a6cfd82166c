#pragma once
// Questions about the machine and the file system. None of these writes a log record.
// Paths use "/" as separator; "\" is the foreign one that NormalizePath converts.
#include <cstdint>
#include <map>
#include <string>

std::wstring GetWindowsProductName();
bool IsWindows64Bit();
// The user's interface language id in decimal ("1033", "1025", ...), from the locale variables.
std::wstring GetUILanguageCode();
// All free bytes of the volume holding path (or its nearest existing parent), >> 20.
bool GetDiskFreeSizeMB(const std::wstring& path, std::int32_t& freeMB);
// "/opt/"; "/" alone when unknown.
std::wstring GetProgramFilesFolder();
// GetProgramFilesFolder() + "norvane_down/" + executable base name + "/".
std::wstring GetWorkFolder();
// "major.minor.build.revision" from the version record in the file; empty when none.
std::wstring GetFileVersionText(const std::wstring& filePath);
// Value of key in section, at most 255 characters; empty when missing.
std::wstring ReadIniString(const std::wstring& iniFile, const std::wstring& section, const std::wstring& key);
// Adds the section's pairs to table (last of equal keys wins); answers true.
bool ReadIniSection(const std::wstring& iniFile, const std::wstring& section,
                    std::map<std::wstring, std::wstring>& table);
void NormalizePath(std::wstring& path);
void TrimTrailingBackslash(std::wstring& path);  // trims the trailing separator
bool GetFolderOfPath(const std::wstring& path, std::wstring& folder);
std::wstring GetFileNameOfPath(const std::wstring& path);
bool PathExists(const std::wstring& path);
bool FileCanBeRead(const std::wstring& path);
bool CreateFolderTree(const std::wstring& path);

// The running executable's full path.
std::wstring GetModulePath();
// The file name without its folder and without its last extension ("a.b.exe" gives "a.b").
std::wstring GetBaseNameOfPath(const std::wstring& path);
