#pragma once
#include <string>

namespace platform {

// True when the process runs with administrator (root) rights.
bool IsElevated();
// Replaces this process with itself run through pkexec, keeping the display and the locale.
// Returns only when that could not be done.
void RelaunchElevated(const std::string& executablePath);
// The desktop user who started the installer before it was elevated (PKEXEC_UID or SUDO_UID);
// -1 when unknown.
int InvokingUserId();

}  // namespace platform
