#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

#include "common/Processes.h"
#include "tests/process/ProcessFixtures.h"

namespace {

using processtest::MakeSleeper;
using processtest::StartProgram;
using processtest::StopProgram;

class FindProcessTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (int nId : m_started) StopProgram(nId);
    }
    int Start(const std::string& strName) {
        int nId = StartProgram(MakeSleeper(m_folder, strName));
        m_started.push_back(nId);
        return nId;
    }

    testsupport::CTempDir m_folder;
    std::vector<int> m_started;
};

TEST_F(FindProcessTest, FindsByExactNameOnly) {
    int nId = Start("NorvaneCaseProbe.bin");
    ASSERT_GT(nId, 0);
    std::uint32_t found = 0;
    ASSERT_TRUE(FindProcess(L"NorvaneCaseProbe.bin", found));
    EXPECT_EQ(static_cast<std::uint32_t>(nId), found);

    struct Row {
        const char* name;
        const wchar_t* query;
    } rows[] = {
        {"lower case", L"norvanecaseprobe.bin"},
        {"upper case", L"NORVANECASEPROBE.BIN"},
        {"without extension", L"NorvaneCaseProbe"},
        {"cut as comm is", L"NorvaneCaseProb"},
        {"with folder", L"/NorvaneCaseProbe.bin"},
        {"empty", L""},
    };
    for (const Row& row : rows) {
        std::uint32_t untouched = 4242;
        EXPECT_FALSE(FindProcess(row.query, untouched)) << row.name;
        EXPECT_EQ(4242u, untouched) << row.name;
    }
}

TEST_F(FindProcessTest, NameLongerThanCommIsMatchedWhole) {
    int nId = Start("norvane-long-name.tmp");
    ASSERT_GT(nId, 0);
    std::uint32_t found = 0;
    ASSERT_TRUE(FindProcess(L"norvane-long-name.tmp", found));
    EXPECT_EQ(static_cast<std::uint32_t>(nId), found);
    EXPECT_FALSE(FindProcess(L"norvane-long-nam", found));
    EXPECT_FALSE(FindProcess(L"norvane-long-name.tmpx", found));
}

TEST_F(FindProcessTest, DeletedExecutableIsStillFound) {
    std::string strPath = MakeSleeper(m_folder, "norvane-gone.bin");
    int nId = StartProgram(strPath);
    m_started.push_back(nId);
    ASSERT_GT(nId, 0);
    unlink(strPath.c_str());
    std::uint32_t found = 0;
    ASSERT_TRUE(FindProcess(L"norvane-gone.bin", found));
    EXPECT_EQ(static_cast<std::uint32_t>(nId), found);
}

TEST_F(FindProcessTest, TwoInstancesAreFoundAndStoppedOneAtATime) {
    int nFirst = Start("norvane-twin.bin");
    int nSecond = Start("norvane-twin.bin");
    ASSERT_GT(nFirst, 0);
    ASSERT_GT(nSecond, 0);
    std::uint32_t found = 0;
    ASSERT_TRUE(FindProcess(L"norvane-twin.bin", found));
    std::uint32_t expectedFirst = static_cast<std::uint32_t>(std::min(nFirst, nSecond));
    std::uint32_t expectedSecond = static_cast<std::uint32_t>(std::max(nFirst, nSecond));
    EXPECT_EQ(expectedFirst, found);

    ASSERT_TRUE(KillProcess(found));
    std::uint32_t next = 0;
    ASSERT_TRUE(FindProcess(L"norvane-twin.bin", next));
    EXPECT_EQ(expectedSecond, next);

    ASSERT_TRUE(KillProcess(next));
    EXPECT_FALSE(FindProcess(L"norvane-twin.bin", next));
}

// A process that has ended but is not yet reaped by its parent no longer runs.
TEST_F(FindProcessTest, EndedButUnreapedProcessIsNotFound) {
    int nId = Start("norvane-zombie.tmp");
    ASSERT_GT(nId, 0);
    ASSERT_EQ(0, kill(nId, SIGKILL));
    siginfo_t info {};
    ASSERT_EQ(0, waitid(P_PID, static_cast<id_t>(nId), &info, WEXITED | WNOWAIT));
    std::uint32_t found = 0;
    EXPECT_FALSE(FindProcess(L"norvane-zombie.tmp", found));
}

TEST_F(FindProcessTest, KillOfMissingProcessFails) {
    int nId = Start("norvane-short.bin");
    ASSERT_GT(nId, 0);
    StopProgram(nId);
    m_started.clear();
    EXPECT_FALSE(KillProcess(static_cast<std::uint32_t>(nId)));
    EXPECT_FALSE(KillProcess(0));
    EXPECT_FALSE(KillProcess(0xFFFFFFFFu));
}

}  // namespace
