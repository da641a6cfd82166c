#include "tools/demo-setup/DemoSetupChild.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "tools/demo-setup/DemoPayload.h"

namespace demosetup {
namespace {

constexpr int kSteps = 20;
constexpr int kInstallStep = 12;

bool WriteProgress(const std::string& strProgressFile, int nPercent) {
    return WriteFileAtomically(strProgressFile, std::to_string(nPercent) + "\r\n", 0644);
}

std::string ProductFolder(const std::string& strInstallPath) {
    std::string strFolder = strInstallPath;
    if (!strFolder.empty() && strFolder.back() != '/') strFolder += '/';
    for (const char* pszLevel : {DEMO_DIR1_NAME, DEMO_DIR2_NAME}) {
        if (*pszLevel) strFolder += std::string(pszLevel) + "/";
    }
    return strFolder;
}

bool InstallProduct(const std::string& strInstallPath, const std::string& strSelfPath) {
    std::string strProduct;
    if (!ReadPayload(strSelfPath, strProduct)) {
        std::fprintf(stderr, "norvane demo setup: no product inside %s\n", strSelfPath.c_str());
        return false;
    }
    std::string strFolder = ProductFolder(strInstallPath);
    std::error_code error;
    std::filesystem::create_directories(strFolder, error);
    if (!WriteFileAtomically(strFolder + DEMO_EXE_NAME, strProduct, 0755)) {
        std::fprintf(stderr, "norvane demo setup: cannot write %s%s\n", strFolder.c_str(), DEMO_EXE_NAME);
        return false;
    }
    return true;
}

}  // namespace

int RunSetupChild(const SetupRequest& request, const std::string& strSelfPath) {
    auto stepTime = std::chrono::milliseconds(request.nDurationMs / kSteps);
    for (int nStep = 0; nStep <= kSteps; ++nStep) {
        if (nStep == kInstallStep && !InstallProduct(request.strInstallPath, strSelfPath)) return 1;
        if (!request.strProgressFile.empty()) WriteProgress(request.strProgressFile, nStep * 100 / kSteps);
        if (nStep < kSteps) std::this_thread::sleep_for(stepTime);
    }
    return 0;
}

}  // namespace demosetup
