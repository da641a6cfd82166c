#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "common/Processes.h"
#include "platform/Text.h"
#include "tests/process/ProcessFixtures.h"
#include "tests/support/Sandbox.h"

namespace {

constexpr const char* kNobodyUid = "65534";

// Launched programs write who they ran as into a folder that every user may write.
class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        chmod(m_folder.Path().c_str(), 0777);
        m_strOldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        unsetenv("SUDO_UID");
        unsetenv("PKEXEC_UID");
    }
    void TearDown() override {
        setenv("PATH", m_strOldPath.c_str(), 1);
        unsetenv("SUDO_UID");
        unsetenv("PKEXEC_UID");
    }
    std::string MakeRecorder(const std::string& strName) {
        std::string strPath = m_folder.File(strName);
        processtest::WriteScript(strPath, "echo \"$(id -u) $*\" > '" + m_folder.File("ran.txt.part") + "'\nmv '" +
                                              m_folder.File("ran.txt.part") + "' '" + m_folder.File("ran.txt") + "'\n",
                                 true);
        return strPath;
    }
    std::string WaitForRecord(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
        auto deadline = std::chrono::steady_clock::now() + wait;
        while (!std::filesystem::exists(m_folder.File("ran.txt")) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return testsupport::ReadWholeFile(m_folder.File("ran.txt"));
    }

    testsupport::CTempDir m_folder;
    std::string m_strOldPath;
};

TEST_F(LaunchTest, ThroughShellRunsWithTheInstallersRights) {
    setenv("SUDO_UID", kNobodyUid, 1);
    LaunchProgram(platform::Utf8ToWide(MakeRecorder("Vellumpod.exe")), true);
    EXPECT_EQ("0 \n", WaitForRecord());
}

TEST_F(LaunchTest, NotThroughShellRunsAsTheInvokingUser) {
    setenv("PKEXEC_UID", kNobodyUid, 1);
    LaunchProgram(platform::Utf8ToWide(MakeRecorder("Vellumpod.exe")), false);
    EXPECT_EQ(std::string(kNobodyUid) + " \n", WaitForRecord());
}

TEST_F(LaunchTest, UnknownInvokingUserLaunchesNothingAsRoot) {
    LaunchProgram(platform::Utf8ToWide(MakeRecorder("Vellumpod.exe")), false);
    EXPECT_EQ("", WaitForRecord(std::chrono::milliseconds(500)));
}

TEST_F(LaunchTest, ShellOpenHandsTheAddressToXdgOpenAsTheInvokingUser) {
    MakeRecorder("xdg-open");
    setenv("PATH", (m_folder.Path() + ":" + m_strOldPath).c_str(), 1);
    setenv("SUDO_UID", kNobodyUid, 1);
    EXPECT_EQ(0, ShellOpen(nullptr, L"https://www.norvane.com/producturl?key=installed&pid=169&custom=com_id"));
    EXPECT_EQ(std::string(kNobodyUid) + " https://www.norvane.com/producturl?key=installed&pid=169&custom=com_id\n",
              WaitForRecord());
}

TEST_F(LaunchTest, ShellOpenWithoutAnOpenerFails) {
    setenv("PATH", m_folder.Path().c_str(), 1);
    EXPECT_LT(ShellOpen(nullptr, L"https://www.norvane.com/"), 0);
}

}  // namespace
