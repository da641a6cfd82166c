#pragma once
// The demo product travels appended to the setup's own executable: the product's bytes, then
// an 8-byte magic and the product's size as 8 bytes, little-endian.
#include <string>

namespace demosetup {

// Writes setup + product + trailer to outputPath (executable).
bool PackPayload(const std::string& strSetupPath, const std::string& strProductPath, const std::string& strOutputPath);

// Reads the product appended to the executable at strPath.
bool ReadPayload(const std::string& strPath, std::string& strProduct);

bool ReadFile(const std::string& strPath, std::string& strContent);
// Writes to a temporary name and renames, so readers never see a half-written file.
bool WriteFileAtomically(const std::string& strPath, const std::string& strContent, unsigned int nMode);

}  // namespace demosetup
