#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "common/Processes.h"
#include "platform/Text.h"
#include "tests/process/ProcessFixtures.h"
#include "tests/support/Sandbox.h"

namespace {

using testsupport::CTempDir;
using testsupport::ReadWholeFile;

std::wstring Wide(const std::string& strText) { return platform::Utf8ToWide(strText); }

// The log opens by default beside the executable, named after it.
std::string DefaultLogText() {
    std::string strExe = std::filesystem::read_symlink("/proc/self/exe").string();
    std::filesystem::path exe(strExe);
    return ReadWholeFile((exe.parent_path() / "Log" / (exe.stem().string() + ".log")).string());
}

TEST(RunSilentSetupTest, MissingSetupAnswersFalseAtOnceAndIsLogged) {
    CTempDir folder;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(RunSilentSetup(Wide(folder.File("norvane-download.exe")), L"/opt/", L"/opt/temp.progress"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_NE(std::string::npos,
              DefaultLogText().find("ERR: RunSilentSetup: setup cannot be started: " + folder.File("norvane-download.exe")));
}

TEST(RunSilentSetupTest, FileThatCannotBeExecutedAnswersFalse) {
    CTempDir folder;
    std::string strSetup = folder.File("norvane-download.exe");
    ASSERT_TRUE(testsupport::WriteWholeFile(strSetup, std::string("\x7f" "ELF garbage", 12)));
    EXPECT_FALSE(RunSilentSetup(Wide(strSetup), L"/opt/", L"/opt/temp.progress"));
}

TEST(RunSilentSetupTest, SetupGetsExecuteBitSilentArgumentsAndIsWaitedFor) {
    CTempDir folder;
    std::string strSetup = folder.File("norvane-download.exe");
    std::string strOut = folder.File("args.txt");
    ASSERT_TRUE(processtest::WriteScript(
        strSetup, "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + strOut + "'\nsleep 0.3\necho done >> '" +
                      strOut + "'\n",
        false));
    std::string strInstall = "/opt/Program Files (x86)/";
    std::string strProgress = "/opt/norvane_down/setup (1)/temp.progress";
    ASSERT_TRUE(RunSilentSetup(Wide(strSetup), Wide(strInstall), Wide(strProgress)));

    EXPECT_EQ("/verysilent\n/norvane_down\n/wait_run\n/path=" + strInstall + "\n/progress=" + strProgress + "\ndone\n",
              ReadWholeFile(strOut));
    struct stat info {};
    ASSERT_EQ(0, stat(strSetup.c_str(), &info));
    EXPECT_EQ(0755u, info.st_mode & 0777);
}

TEST(RunSilentSetupTest, PathsThatTheCommandLineCannotCarryAreRefused) {
    struct Row {
        const char* name;
        std::string installFolder;
        std::string progressFile;
    } rows[] = {
        {"quote in the install folder", "/opt/a\" /path=\"/etc/", "/opt/temp.progress"},
        {"quote in the progress file", "/opt/", "/opt/x\"y/temp.progress"},
    };
    for (const Row& row : rows) {
        CTempDir folder;
        std::string strSetup = folder.File("norvane-download.exe");
        std::string strRan = folder.File("ran.txt");
        ASSERT_TRUE(processtest::WriteScript(strSetup, "echo ran > '" + strRan + "'\n", true));
        EXPECT_FALSE(RunSilentSetup(Wide(strSetup), Wide(row.installFolder), Wide(row.progressFile))) << row.name;
        EXPECT_FALSE(std::filesystem::exists(strRan)) << row.name;
    }
    EXPECT_NE(std::string::npos, DefaultLogText().find("ERR: RunSilentSetup: the paths cannot be passed"));
}

TEST(RunSilentSetupTest, SetupInheritsNoDescriptors) {
    CTempDir folder;
    int nLeaked = open("/dev/null", O_RDONLY);
    ASSERT_GE(nLeaked, 0);
    std::string strSetup = folder.File("norvane-download.exe");
    std::string strOut = folder.File("fd.txt");
    std::string strFd = std::to_string(nLeaked);
    ASSERT_TRUE(processtest::WriteScript(
        strSetup, "if [ -e /proc/$$/fd/" + strFd + " ]; then echo open; else echo closed; fi > '" + strOut + "'\n",
        true));
    EXPECT_TRUE(RunSilentSetup(Wide(strSetup), L"/opt/", L"/opt/temp.progress"));
    close(nLeaked);
    EXPECT_EQ("closed\n", ReadWholeFile(strOut));
}

TEST(RunSilentSetupTest, SetupEndedBySignalStillCountsAsRun) {
    CTempDir folder;
    std::string strSetup = folder.File("norvane-download.exe");
    ASSERT_TRUE(processtest::WriteScript(strSetup, "kill -9 $$\n", true));
    EXPECT_TRUE(RunSilentSetup(Wide(strSetup), L"/opt/", L"/opt/temp.progress"));
}

}  // namespace
