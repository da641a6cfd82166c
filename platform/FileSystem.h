#pragma once
// File system questions in the platform's terms (UTF-8 paths, "/" separator).
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
// Creates one folder (parents must exist); answers whether it was created.
bool MakeFolder(const std::string& path);
// A regular file (or device) that this process can open for reading.
bool CanOpenForReading(const std::string& path);
// At most nMaxBytes from the start of a file that is not a folder; never blocks, so a pipe put
// in a file's place gives what it holds at once. False when it cannot be opened.
bool ReadFileHead(const std::string& path, std::size_t nMaxBytes, std::string& bytes);
// The whole file; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& bytes);
// All free bytes of the volume holding path, or its nearest existing parent folder.
bool FreeBytesOfVolume(const std::string& path, std::uint64_t& freeBytes);
// The running executable's full path.
std::string ExecutablePath();
// Where programs are installed machine-wide ("/opt"), without a trailing separator.
std::string ProgramFilesFolder();

}  // namespace platform
