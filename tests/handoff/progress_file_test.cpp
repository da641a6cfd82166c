#include <gtest/gtest.h>

#include <climits>
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
