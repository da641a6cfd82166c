#pragma once
// Turns an archive entry's name into a path below the unpacking folder, or refuses it.
#include <string>

// strRelative receives the name with "/" separators and without a trailing one. Refused:
// empty names, absolute paths, drive letters or any ":", "." and ".." parts (also written
// with "\"), empty parts, control characters and over-long names or parts.
bool SafeEntryPath(const std::wstring& strEntryName, std::wstring& strRelative);
