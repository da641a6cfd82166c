#include "Window/ArchiveEntryPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ArchiveEntryPath, NamesTable) {
    struct Case {
        const char* szCase;
        std::wstring strName;
        bool bSafe;
        std::wstring strRelative;
    };
    const std::vector<Case> vecCases = {
        {"plain file", L"language.ini", true, L"language.ini"},
        {"nested file", L"English/text.ini", true, L"English/text.ini"},
        {"folder with trailing slash", L"English/", true, L"English"},
        {"backslash separators", L"English\\pr_1.png", true, L"English/pr_1.png"},
        {"non-ASCII name", L"\u0627\u0644\u0639\u0631\u0628\u064A\u0629/text.ini", true,
         L"\u0627\u0644\u0639\u0631\u0628\u064A\u0629/text.ini"},
        {"dots inside a name", L"a..b/c.ini", true, L"a..b/c.ini"},
        {"empty", L"", false, L""},
        {"only a slash", L"/", false, L""},
        {"parent climb", L"../evil.txt", false, L""},
        {"climb in the middle", L"English/../../evil.txt", false, L""},
        {"climb at the end", L"English/..", false, L""},
        {"backslash climb", L"..\\..\\evil.txt", false, L""},
        {"mixed climb", L"English\\..\\../evil.txt", false, L""},
        {"current folder part", L"./text.ini", false, L""},
        {"absolute path", L"/etc/passwd", false, L""},
        {"absolute with backslash", L"\\etc\\passwd", false, L""},
        {"drive letter", L"C:/Windows/evil.dll", false, L""},
        {"drive relative", L"C:evil.dll", false, L""},
        {"stream name", L"text.ini:hidden", false, L""},
        {"empty part", L"English//text.ini", false, L""},
        {"control character", L"Eng\nlish/text.ini", false, L""},
        {"over-long part", std::wstring(256, L'a'), false, L""},
        {"longest part", std::wstring(255, L'a'), true, std::wstring(255, L'a')},
    };
    for (const Case& c : vecCases) {
        std::wstring strRelative = L"unchanged";
        EXPECT_EQ(SafeEntryPath(c.strName, strRelative), c.bSafe) << c.szCase;
        EXPECT_EQ(strRelative, c.strRelative) << c.szCase;
    }
}

}  // namespace
