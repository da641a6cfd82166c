#include <gtest/gtest.h>

#include "common/SystemQueries.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

namespace {

class IniTest : public ::testing::Test {
protected:
    std::wstring Write(const std::string& name, const std::string& bytes) {
        testsupport::WriteWholeFile(m_temp.File(name), bytes);
        return platform::Utf8ToWide(m_temp.File(name));
    }
    std::wstring WriteUtf16(const std::string& name, const std::wstring& text) {
        return Write(name, "\xFF\xFE" + platform::WideToUtf16Le(text));
    }
    testsupport::CTempDir m_temp;
};

TEST_F(IniTest, SectionLastEqualKeyWinsAndBareEntryHasEmptyValue) {
    const std::wstring ini = Write("a.ini", "[S]\r\nA=1\r\nB\r\nA=2\r\n[T]\r\nA=3\r\n");
    std::map<std::wstring, std::wstring> table;
    EXPECT_TRUE(ReadIniSection(ini, L"S", table));
    EXPECT_EQ(table, (std::map<std::wstring, std::wstring>{{L"A", L"2"}, {L"B", L""}}));
}

TEST_F(IniTest, SectionKeysAndValuesAreNotTrimmedAndKeysKeepCase) {
    const std::wstring ini = Write("a.ini", "[S]\nkey = value\nKey=x=y\n");
    std::map<std::wstring, std::wstring> table;
    ReadIniSection(ini, L"s", table);
    EXPECT_EQ(table, (std::map<std::wstring, std::wstring>{{L"key ", L" value"}, {L"Key", L"x=y"}}));
}

TEST_F(IniTest, MissingFileOrSectionAnswersTrueAndAddsNothing) {
    std::map<std::wstring, std::wstring> table{{L"kept", L"1"}};
    EXPECT_TRUE(ReadIniSection(L"/no/such.ini", L"S", table));
    EXPECT_TRUE(ReadIniSection(Write("a.ini", "[Other]\nA=1\n"), L"S", table));
    EXPECT_EQ(table.size(), 1u);
}

TEST_F(IniTest, LongSectionIsCutAt4096Characters) {
    std::string text = "[S]\n";
    for (int i = 0; i < 1000; ++i) text += "K" + std::to_string(1000 + i) + "=v\n";  // 8 characters an entry
    std::map<std::wstring, std::wstring> table;
    ReadIniSection(Write("long.ini", text), L"S", table);
    // 4094 characters of entries with their terminators: 511 whole entries and a cut one.
    EXPECT_EQ(table.size(), 512u);
    EXPECT_EQ(table.count(L"K1510"), 1u);
    EXPECT_EQ(table.count(L"K1512"), 0u);
}

struct StringCase {
    const char* szName;
    std::string content;
    const wchar_t* szSection;
    const wchar_t* szKey;
    std::wstring expected;
};

class IniStringTest : public IniTest, public ::testing::WithParamInterface<StringCase> {};

TEST_P(IniStringTest, Reads) {
    EXPECT_EQ(ReadIniString(Write("s.ini", GetParam().content), GetParam().szSection, GetParam().szKey),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniStringTest,
    ::testing::Values(StringCase{"plain", "[A]\nk=v\n", L"A", L"k", L"v"},
                      StringCase{"case_insensitive_names", "[Lang]\nKEY=v\n", L"lang", L"key", L"v"},
                      StringCase{"blanks_trimmed", "[A]\n  k  =  v v  \n", L"A", L"k", L"v v"},
                      StringCase{"quotes_removed", "[A]\nk=\"quoted value\"\n", L"A", L"k", L"quoted value"},
                      StringCase{"first_of_equal_keys", "[A]\nk=1\nk=2\n", L"A", L"k", L"1"},
                      StringCase{"other_section", "[A]\nk=1\n[B]\nk=2\n", L"B", L"k", L"2"},
                      StringCase{"missing_key", "[A]\nk=1\n", L"A", L"x", L""},
                      StringCase{"missing_section", "[A]\nk=1\n", L"C", L"k", L""},
                      StringCase{"comment_skipped", "[A]\n;k=1\nk=2\n", L"A", L"k", L"2"},
                      StringCase{"crlf", "[A]\r\nk=v\r\n", L"A", L"k", L"v"},
                      StringCase{"utf8_bom", "\xEF\xBB\xBF[A]\nk=\xc3\xa9\n", L"A", L"k", L"\u00e9"},
                      StringCase{"cut_at_255", "[A]\nk=" + std::string(300, 'x') + "\n", L"A", L"k",
                                 std::wstring(255, L'x')},
                      StringCase{"empty_file", "", L"A", L"k", L""}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST_F(IniTest, Utf16LeWithBom) {
    const std::wstring ini = WriteUtf16("u.ini", L"[Text]\r\nSTR_A=\u0645\u0631\u062d\u0628\u0627\r\nSTR_B=\u4e2d\u6587\r\n");
    EXPECT_EQ(ReadIniString(ini, L"Text", L"STR_A"), L"\u0645\u0631\u062d\u0628\u0627");
    std::map<std::wstring, std::wstring> table;
    ReadIniSection(ini, L"Text", table);
    EXPECT_EQ(table[L"STR_B"], L"\u4e2d\u6587");
}

TEST_F(IniTest, FolderInsteadOfFileReadsNothing) {
    EXPECT_EQ(ReadIniString(platform::Utf8ToWide(m_temp.Path()), L"A", L"k"), L"");
}

}  // namespace
