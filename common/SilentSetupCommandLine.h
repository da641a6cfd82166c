#pragma once
// The command line handed to the downloaded setup. Built by plain concatenation: nothing in
// the paths is escaped, and the program's own path is not part of it.
#include <string>

// " /verysilent /norvane_down /wait_run /path=\"" + installPath + "\" /progress=\"" + progressFile + "\""
std::wstring BuildSilentSetupCommandLine(const std::wstring& installPath, const std::wstring& progressFile);
