#pragma once
// Splits a command-line text into arguments: blanks and tabs separate, double quotes group
// and are removed. Backslashes are ordinary characters, since they may appear in POSIX paths.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::vector<std::string> SplitCommandLine(std::string_view text);

}  // namespace platform
