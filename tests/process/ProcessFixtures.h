#pragma once
// Small running programs with chosen executable names, for the process tests.
#include <string>

#include "tests/support/Sandbox.h"

namespace processtest {

// Copies /bin/sleep to folder/name (a copy, not a link, so that /proc/PID/exe names it).
std::string MakeSleeper(const testsupport::CTempDir& folder, const std::string& strName);

// Starts program with the argument "30"; returns its process id (or -1).
int StartProgram(const std::string& strProgram);

// Kills and reaps a child started by StartProgram, if it still runs.
void StopProgram(int nProcessId);

// Writes an executable /bin/sh script.
bool WriteScript(const std::string& strPath, const std::string& strBody, bool bExecutable);

}  // namespace processtest
