#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Window/SetupHandoff.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

namespace {

TEST(LoadDomainValueTest, CrLfPairsAreRemoved) {
    struct Row {
        const char* name;
        std::string resource;
        std::wstring expected;
    } rows[] = {
        {"shipped value", "com_id\r\n", L"com_id"},
        {"short value", "abc\r\n", L"abc"},
        {"empty resource", "", L""},
        {"lone line feed stays", "a\nb", L"a\nb"},
        {"lone carriage return stays", "a\rb", L"a\rb"},
        {"pair in the middle", "a\r\nb\r\n", L"ab"},
        {"carriage return before a pair", "a\r\r\n", L"a\r"},
        {"reversed pair stays", "a\n\r", L"a\n\r"},
        {"NUL ends the value", std::string("ab\0cd", 5), L"ab"},
        {"at most 255 bytes", std::string(300, 'x'), std::wstring(255, L'x')},
    };
    for (const Row& row : rows) EXPECT_EQ(row.expected, LoadDomainValue(row.resource)) << row.name;
}

class WriteDomainFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_installPath = m_folder.Path() + "/Program Files (x86)/";
        std::filesystem::create_directories(m_installPath + m_subFolder);
    }
    std::string DomainPath() const { return m_installPath + m_subFolder + "domain"; }
    bool Write(const std::wstring& domain) {
        return WriteDomainFile(domain, platform::Utf8ToWide(m_installPath), platform::Utf8ToWide(m_subFolder));
    }

    testsupport::CTempDir m_folder;
    std::string m_installPath;
    std::string m_subFolder = "Norvane/Norvane Vellumpod/";
};

TEST_F(WriteDomainFileTest, ShippedValueGivesSixBytes) {
    ASSERT_TRUE(Write(LoadDomainValue("com_id\r\n")));
    EXPECT_EQ("com_id", testsupport::ReadWholeFile(DomainPath()));
}

TEST_F(WriteDomainFileTest, ThreeByteValueAndOldFileTruncated) {
    ASSERT_TRUE(testsupport::WriteWholeFile(DomainPath(), "a much longer old value"));
    ASSERT_TRUE(Write(LoadDomainValue("abc\r\n")));
    EXPECT_EQ("abc", testsupport::ReadWholeFile(DomainPath()));
}

TEST_F(WriteDomainFileTest, EmptyValueWritesNoFile) {
    EXPECT_FALSE(Write(LoadDomainValue("")));
    EXPECT_FALSE(std::filesystem::exists(DomainPath()));
}

TEST_F(WriteDomainFileTest, BytesComeBackUnchanged) {
    struct Row {
        const char* name;
        std::string bytes;
    } rows[] = {
        {"UTF-8", "caf\xc3\xa9\n"},
        {"Latin-1", "caf\xe9"},
        {"every high byte alone", "\x80\x9f\xa0\xc0\xc1\xf5\xff"},
        {"cut sequence at the end", "ab\xe2\x82"},
        {"encoded surrogate", "\xed\xb2\x80"},
        {"overlong slash", "\xc0\xaf"},
        {"mixed", "\xd8\xb4\xff\xc3\xa9"},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(Write(LoadDomainValue(row.bytes))) << row.name;
        EXPECT_EQ(row.bytes, testsupport::ReadWholeFile(DomainPath())) << row.name;
    }
}

TEST(LoadDomainValueTest, ValidUtf8IsReadAsText) {
    EXPECT_EQ(L"caf\u00e9 \u0634", LoadDomainValue("caf\xc3\xa9 \xd8\xb4\r\n"));
}

TEST_F(WriteDomainFileTest, LinkAtTheNameIsReplacedNotWrittenThrough) {
    std::string strVictim = m_folder.File("victim");
    ASSERT_TRUE(testsupport::WriteWholeFile(strVictim, "precious"));
    std::filesystem::create_symlink(strVictim, DomainPath());
    ASSERT_TRUE(Write(L"com_id"));
    EXPECT_EQ("precious", testsupport::ReadWholeFile(strVictim));
    EXPECT_FALSE(std::filesystem::is_symlink(DomainPath()));
    EXPECT_EQ("com_id", testsupport::ReadWholeFile(DomainPath()));
}

TEST_F(WriteDomainFileTest, MissingFolderFailsQuietly) {
    m_subFolder = "Not/There/";
    EXPECT_FALSE(Write(L"com_id"));
}

}  // namespace
