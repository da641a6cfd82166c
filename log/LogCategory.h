#pragma once
#include <string>

// The executable's file name up to its first dot; names the log appender. Computed once.
const std::string& LogCategoryName();
// The category name of an executable path (exposed for tests).
std::string LogCategoryOfPath(const std::wstring& modulePath);
// {executable directory}/Log, where records go when nothing opened the log before them.
std::wstring LogDefaultFolder();
