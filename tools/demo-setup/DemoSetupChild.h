#pragma once
#include <string>

namespace demosetup {

struct SetupRequest {
    std::string strInstallPath;  // ends in "/"
    std::string strProgressFile;
    int nDurationMs = 3000;
};

// The work of the running child "norvane-download.tmp": progress 0 to 100 over the duration,
// the demo product installed on the way. Answers the exit code.
int RunSetupChild(const SetupRequest& request, const std::string& strSelfPath);

}  // namespace demosetup
