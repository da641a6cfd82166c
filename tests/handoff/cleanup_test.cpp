#include <gtest/gtest.h>

#include <filesystem>

#include "Window/SetupHandoff.h"
#include "common/Processes.h"
#include "platform/Text.h"
#include "tests/process/ProcessFixtures.h"
#include "tests/support/Sandbox.h"

namespace {

class SilentSetupCleanUpTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (int nId : m_started) processtest::StopProgram(nId);
    }
    int StartSetupChild() {
        int nId = processtest::StartProgram(processtest::MakeSleeper(m_folder, "norvane-download.tmp"));
        m_started.push_back(nId);
        return nId;
    }
    static bool Runs(int nId) {
        std::uint32_t found = 0;
        return FindProcess(L"norvane-download.tmp", found) && found == static_cast<std::uint32_t>(nId);
    }

    testsupport::CTempDir m_folder;
    std::vector<int> m_started;
};

TEST_F(SilentSetupCleanUpTest, KillStopsOnlyTheFirstOfTwo) {
    int nFirst = StartSetupChild();
    int nSecond = StartSetupChild();
    ASSERT_GT(nFirst, 0);
    ASSERT_GT(nSecond, 0);
    KillSilentInstallProcess();
    std::uint32_t found = 0;
    ASSERT_TRUE(FindProcess(L"norvane-download.tmp", found));
    EXPECT_EQ(static_cast<std::uint32_t>(std::max(nFirst, nSecond)), found);
    KillSilentInstallProcess();
    EXPECT_FALSE(FindProcess(L"norvane-download.tmp", found));
}

TEST_F(SilentSetupCleanUpTest, CleanUpStopsTheSetupAndDeletesItsFiles) {
    int nChild = StartSetupChild();
    ASSERT_GT(nChild, 0);
    std::string strWork = m_folder.Path() + "/work/";
    std::filesystem::create_directories(strWork);
    ASSERT_TRUE(testsupport::WriteWholeFile(strWork + "norvane-download.exe", "setup"));
    ASSERT_TRUE(testsupport::WriteWholeFile(strWork + "temp.progress", "55"));
    ASSERT_TRUE(testsupport::WriteWholeFile(strWork + "other.file", "kept"));

    CleanUpSetup(platform::Utf8ToWide(strWork), platform::Utf8ToWide(strWork + "temp.progress"));

    EXPECT_FALSE(Runs(nChild));
    EXPECT_FALSE(std::filesystem::exists(strWork + "norvane-download.exe"));
    EXPECT_FALSE(std::filesystem::exists(strWork + "temp.progress"));
    EXPECT_TRUE(std::filesystem::exists(strWork + "other.file"));
}

TEST_F(SilentSetupCleanUpTest, CleanUpWithNothingToDoIsHarmless) {
    std::string strWork = m_folder.Path() + "/empty/";
    CleanUpSetup(platform::Utf8ToWide(strWork), platform::Utf8ToWide(strWork + "temp.progress"));
    std::uint32_t found = 0;
    EXPECT_FALSE(FindProcess(L"norvane-download.tmp", found));
}

}  // namespace
