#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "Window/SetupHandoff.h"
#include "common/Processes.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

namespace {

using std::chrono::steady_clock;

class DemoSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_installPath = m_folder.Path() + "/Program Files (x86)/";
        m_workFolder = m_folder.Path() + "/norvane_down/setup/";
        std::filesystem::create_directories(m_installPath);
        std::filesystem::create_directories(m_workFolder);
        // As the downloader leaves it: no execute bit.
        std::filesystem::copy_file(testsupport::BinaryPath("tools/demo-setup/norvane-demo-setup.exe"), SetupPath());
        chmod(SetupPath().c_str(), 0644);
    }
    void TearDown() override { unsetenv("NORVANE_DEMO_SETUP_MS"); }

    std::string SetupPath() const { return m_workFolder + "norvane-download.exe"; }
    std::string ProgressPath() const { return m_workFolder + "temp.progress"; }
    std::string ProductPath() const {
        return m_installPath + DEMO_DIR1_NAME + "/" + DEMO_DIR2_NAME + "/" + DEMO_EXE_NAME;
    }
    bool Run() {
        return RunSilentSetup(platform::Utf8ToWide(SetupPath()), platform::Utf8ToWide(m_installPath),
                              platform::Utf8ToWide(ProgressPath()));
    }

    testsupport::CTempDir m_folder;
    std::string m_installPath;
    std::string m_workFolder;
};

TEST_F(DemoSetupTest, InstallsTheProductWhileItsChildReportsProgress) {
    setenv("NORVANE_DEMO_SETUP_MS", "800", 1);
    std::atomic<bool> bDone{false};
    std::atomic<bool> bSawChild{false};
    std::atomic<bool> bWentBack{false};
    std::thread watcher([&] {
        int nLast = -1;
        while (!bDone) {
            std::uint32_t processId = 0;
            if (FindProcess(kSilentSetupProcessName, processId)) bSawChild = true;
            int nPercent = 0;
            if (ReadProgressFile(platform::Utf8ToWide(ProgressPath()), nPercent)) {
                if (nPercent < nLast) bWentBack = true;
                nLast = nPercent;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    bool bRan = Run();
    bDone = true;
    watcher.join();

    ASSERT_TRUE(bRan);
    EXPECT_TRUE(bSawChild);
    EXPECT_FALSE(bWentBack);
    int nPercent = 0;
    ASSERT_TRUE(ReadProgressFile(platform::Utf8ToWide(ProgressPath()), nPercent));
    EXPECT_EQ(100, nPercent);
    struct stat info {};
    ASSERT_EQ(0, stat(ProductPath().c_str(), &info)) << ProductPath();
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    std::string strCommand = "'" + ProductPath() + "' --version > /dev/null";
    EXPECT_EQ(0, std::system(strCommand.c_str()));
    std::uint32_t processId = 0;
    EXPECT_FALSE(FindProcess(kSilentSetupProcessName, processId));
}

TEST_F(DemoSetupTest, StoppingTheChildEndsTheWaitEarly) {
    setenv("NORVANE_DEMO_SETUP_MS", "30000", 1);
    auto start = steady_clock::now();
    std::thread stopper([&] {
        std::uint32_t processId = 0;
        while (!FindProcess(kSilentSetupProcessName, processId) && steady_clock::now() - start < std::chrono::seconds(10)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        CleanUpSetup(platform::Utf8ToWide(m_workFolder), platform::Utf8ToWide(ProgressPath()));
    });
    EXPECT_TRUE(Run());
    stopper.join();
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_FALSE(std::filesystem::exists(SetupPath()));
    EXPECT_FALSE(std::filesystem::exists(ProgressPath()));
    EXPECT_FALSE(std::filesystem::exists(ProductPath()));
}

TEST_F(DemoSetupTest, SetupRefusesToRunWithoutTheSilentSwitch) {
    chmod(SetupPath().c_str(), 0755);
    std::string strCommand = "'" + SetupPath() + "' /path=/tmp/ 2> /dev/null";
    int nStatus = std::system(strCommand.c_str());
    EXPECT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(2, WEXITSTATUS(nStatus));
}

}  // namespace
