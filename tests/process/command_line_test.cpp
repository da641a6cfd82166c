#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/SilentSetupCommandLine.h"
#include "platform/CommandLine.h"
#include "platform/Text.h"

namespace {

struct CommandLineRow {
    const char* name;
    const wchar_t* installPath;
    const wchar_t* progressFile;
    const wchar_t* expectedText;
    std::vector<std::string> expectedArgs;
};

const std::vector<std::string> kSwitches = {"/verysilent", "/norvane_down", "/wait_run"};

std::vector<std::string> WithSwitches(std::vector<std::string> tail) {
    std::vector<std::string> args = kSwitches;
    args.insert(args.end(), tail.begin(), tail.end());
    return args;
}

TEST(SilentSetupCommandLineTest, TextAndArguments) {
    const CommandLineRow rows[] = {
        {"plain folders", L"/opt/", L"/opt/norvane_down/setup/temp.progress",
         L" /verysilent /norvane_down /wait_run /path=\"/opt/\" /progress=\"/opt/norvane_down/setup/temp.progress\"",
         WithSwitches({"/path=/opt/", "/progress=/opt/norvane_down/setup/temp.progress"})},
        {"blanks and parentheses", L"/opt/Program Files (x86)/", L"/opt/Program Files (x86)/norvane_down/setup/temp.progress",
         L" /verysilent /norvane_down /wait_run /path=\"/opt/Program Files (x86)/\""
         L" /progress=\"/opt/Program Files (x86)/norvane_down/setup/temp.progress\"",
         WithSwitches({"/path=/opt/Program Files (x86)/",
                       "/progress=/opt/Program Files (x86)/norvane_down/setup/temp.progress"})},
        {"backslash before the closing quote stays", L"D:\\Apps\\", L"/opt/t.progress",
         L" /verysilent /norvane_down /wait_run /path=\"D:\\Apps\\\" /progress=\"/opt/t.progress\"",
         WithSwitches({"/path=D:\\Apps\\", "/progress=/opt/t.progress"})},
        {"double blank and tab inside", L"/opt/a  b\tc/", L"/opt/p",
         L" /verysilent /norvane_down /wait_run /path=\"/opt/a  b\tc/\" /progress=\"/opt/p\"",
         WithSwitches({"/path=/opt/a  b\tc/", "/progress=/opt/p"})},
        {"non-ASCII folder", L"/opt/\u00c9t\u00e9 \u0634/", L"/opt/p",
         L" /verysilent /norvane_down /wait_run /path=\"/opt/\u00c9t\u00e9 \u0634/\" /progress=\"/opt/p\"",
         WithSwitches({"/path=/opt/\xc3\x89t\xc3\xa9 \xd8\xb4/", "/progress=/opt/p"})},
        {"empty paths", L"", L"", L" /verysilent /norvane_down /wait_run /path=\"\" /progress=\"\"",
         WithSwitches({"/path=", "/progress="})},
    };
    for (const CommandLineRow& row : rows) {
        std::wstring text = BuildSilentSetupCommandLine(row.installPath, row.progressFile);
        EXPECT_EQ(std::wstring(row.expectedText), text) << row.name;
        EXPECT_EQ(row.expectedArgs, platform::SplitCommandLine(platform::WideToUtf8(text))) << row.name;
    }
}

TEST(SplitCommandLineTest, Rules) {
    struct Row {
        const char* name;
        const char* text;
        std::vector<std::string> args;
    } rows[] = {
        {"empty", "", {}},
        {"only blanks", "  \t ", {}},
        {"leading and trailing blanks", "  a b  ", {"a", "b"}},
        {"quotes group and vanish", "a\"b c\"d e", {"ab cd", "e"}},
        {"empty quotes give an empty argument", "a \"\" b", {"a", "", "b"}},
        {"unclosed quote runs to the end", "a \"b c", {"a", "b c"}},
        {"backslashes are plain", "a\\ b\\\\", {"a\\", "b\\\\"}},
    };
    for (const Row& row : rows) EXPECT_EQ(row.args, platform::SplitCommandLine(row.text)) << row.name;
}

}  // namespace
