#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <future>
#include <string>

#include "Window/SetupHandoff.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

namespace {

TEST(ReadProgressFileTest, LeadingIntegerOfTheFirstTenBytes) {
    struct Row {
        const char* name;
        std::string content;
        int expected;
    } rows[] = {
        {"value with line end", "42\r\n", 42},
        {"blank file", "", 0},
        {"only blanks", "   \t\n", 0},
        {"leading blanks", "  \t7", 7},
        {"plus sign", "+9", 9},
        {"minus sign", "-5", -5},
        {"sign alone", "-", 0},
        {"two signs", "+-3", 0},
        {"letters", "abc", 0},
        {"digits then letters", "12abc", 12},
        {"hundred", "100", 100},
        {"over a hundred", "120", 120},
        {"digits past the tenth byte are not read", "12345678901234", 1234567890},
        {"ten nines held within int", "9999999999", INT_MAX},
        {"nine nines with sign", "-999999999", -999999999},
        {"zeros fill the ten bytes", "000000000042", 0},
        {"NUL ends the text", std::string("5\0" "7", 3), 5},
        {"blank after sign", "- 4", 0},
    };
    testsupport::CTempDir folder;
    std::wstring path = platform::Utf8ToWide(folder.File("temp.progress"));
    for (const Row& row : rows) {
        ASSERT_TRUE(testsupport::WriteWholeFile(folder.File("temp.progress"), row.content));
        int value = -12345;
        ASSERT_TRUE(ReadProgressFile(path, value)) << row.name;
        EXPECT_EQ(row.expected, value) << row.name;
    }
}

TEST(ReadProgressFileTest, MissingFileLeavesTheValue) {
    testsupport::CTempDir folder;
    int value = 77;
    EXPECT_FALSE(ReadProgressFile(platform::Utf8ToWide(folder.File("temp.progress")), value));
    EXPECT_EQ(77, value);
}

// Whatever the setup leaves at the file's name, the UI thread's poll must not block on it.
TEST(ReadProgressFileTest, PipeAtTheNameDoesNotBlock) {
    testsupport::CTempDir folder;
    std::string strPath = folder.File("temp.progress");
    ASSERT_EQ(0, mkfifo(strPath.c_str(), 0600));
    auto read = std::async(std::launch::async, [&strPath] {
        int value = 33;
        bool bRead = ReadProgressFile(platform::Utf8ToWide(strPath), value);
        return bRead ? value : -1;
    });
    bool bReturned = read.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!bReturned) {
        // Releases the blocked reader so that the test can end.
        int nWriter = open(strPath.c_str(), O_WRONLY | O_NONBLOCK);
        if (nWriter >= 0) close(nWriter);
    }
    EXPECT_TRUE(bReturned);
    EXPECT_EQ(0, read.get());
}

TEST(ReadProgressFileTest, FolderAtTheNameIsNoFile) {
    testsupport::CTempDir folder;
    std::filesystem::create_directory(folder.File("temp.progress"));
    int value = 77;
    EXPECT_FALSE(ReadProgressFile(platform::Utf8ToWide(folder.File("temp.progress")), value));
    EXPECT_EQ(77, value);
}

TEST(MapSetupProgressTest, SetupPercentOnTheLastPartOfTheBar) {
    struct Row {
        const char* name;
        int setupPercent;
        int expected;
    } rows[] = {
        {"start", 0, 80},   {"half", 50, 90},          {"end", 100, 100},
        {"over", 120, 104}, {"truncated", 3, 80},      {"negative", -5, 79},
        {"huge", INT_MAX, 80 + static_cast<int>(20LL * INT_MAX / 100)},
        {"huge negative", INT_MIN, 80 + static_cast<int>(20LL * INT_MIN / 100)},
    };
    for (const Row& row : rows) EXPECT_EQ(row.expected, MapSetupProgress(row.setupPercent, 80)) << row.name;
}

}  // namespace
