#pragma once
// Writing a whole file so that readers never see it half written.
#include <cstddef>
#include <string>

namespace platform {

// Writes the bytes to a fresh temporary file next to path and renames it over path. Short
// writes are continued; on any failure the temporary file is removed and path is left as it
// was. Answers 0 or the errno of the failed step.
int ReplaceFileContents(const std::string& path, const void* pData, std::size_t nSize);

// True when path is a regular file holding exactly these bytes.
bool FileHoldsContents(const std::string& path, const void* pData, std::size_t nSize);

}  // namespace platform
