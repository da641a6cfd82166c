#include <gtest/gtest.h>

#include <string>

#include "platform/Text.h"
#include "tests/pack/ZipBuilder.h"
#include "tests/support/Sandbox.h"
#include "ui/core/UIManager.h"
#include "ui/core/XmlMarkup.h"

namespace {

using testsupport::BuildZip;
using testsupport::ZipEntrySpec;

const std::string kSkin = "<Window size=\"650,360\"><Label/></Window>";

std::string SkinZip()
{
    return BuildZip({
        ZipEntrySpec("skin/main.xml", kSkin),
        ZipEntrySpec("stored.xml", kSkin, false),
        ZipEntrySpec("empty.xml", ""),
        ZipEntrySpec("huge.xml", kSkin).DeclaringSize(0x400001),
        ZipEntrySpec("short.xml", kSkin).DeclaringSize(static_cast<std::uint32_t>(kSkin.size() - 5)),
        ZipEntrySpec("long.xml", kSkin, false).DeclaringSize(static_cast<std::uint32_t>(kSkin.size() + 5)),
        ZipEntrySpec("badcrc.xml", kSkin).DeclaringCrc(0x12345678u),
    });
}

struct Case {
    const char* pName;
    const wchar_t* pFile;
    const wchar_t* pMessage;
};

const Case kCases[] = {
    {"deflated", L"skin/main.xml", L""},
    {"backslashes and capitals", L"SKIN\\Main.XML", L""},
    {"stored", L"stored.xml", L""},
    {"missing", L"nothing.xml", L"Could not find ziped file"},
    {"empty", L"empty.xml", L"File is empty"},
    {"declared too large", L"huge.xml", L"File too large"},
    {"declared shorter than its data", L"short.xml", L"Could not unzip file"},
    {"declared longer than its data", L"long.xml", L"Could not unzip file"},
    {"wrong checksum", L"badcrc.xml", L"Could not unzip file"},
};

void ExpectCases()
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pName);
        CXmlMarkup markup;
        EXPECT_EQ(markup.LoadFromFile(c.pFile), c.pMessage[0] == L'\0');
        EXPECT_EQ(std::wstring(markup.GetLastErrorMessage()), c.pMessage);
        if (c.pMessage[0] == L'\0') {
            EXPECT_EQ(std::wstring(markup.GetRoot().GetChild().GetName()), L"Label");
        }
    }
}

class XmlMarkupZip : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strZip = SkinZip();
        ASSERT_FALSE(m_strZip.empty());
        ASSERT_TRUE(testsupport::WriteWholeFile(m_dir.File("skin.zip"), m_strZip));
        CUIManager::SetResourcePath(platform::Utf8ToWide(m_dir.Path()).c_str());
    }

    void TearDown() override
    {
        CUIManager::SetResourceZipFile(L"", true);
        CUIManager::SetResourcePath(L"");
    }

    testsupport::CTempDir m_dir;
    std::string m_strZip;
};

TEST_F(XmlMarkupZip, ReadsFromZipKeptOpen)
{
    CUIManager::SetResourceZipFile(L"skin.zip", true);
    ASSERT_NE(CUIManager::GetResourceZipArchive(), nullptr);
    ExpectCases();
}

TEST_F(XmlMarkupZip, ReadsFromZipOpenedPerRead)
{
    CUIManager::SetResourceZipFile(L"skin.zip", false);
    EXPECT_EQ(CUIManager::GetResourceZipArchive(), nullptr);
    ExpectCases();
}

TEST_F(XmlMarkupZip, ReadsFromZipInMemory)
{
    CUIManager::SetResourceZipFile(L"", true);
    CUIManager::SetResourceZipData(m_strZip.data(), m_strZip.size());
    EXPECT_EQ(CUIManager::GetResourceZip(), CUIManager::kMemoryZipName);
    ExpectCases();
}

TEST_F(XmlMarkupZip, MissingZipFails)
{
    struct Case {
        const char* pName;
        const wchar_t* pZip;
        bool bKeepOpen;
    };
    const Case cases[] = {
        {"opened per read", L"other.zip", false},
        {"kept open", L"other.zip", true},
        {"not a zip", L"../", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CUIManager::SetResourceZipFile(c.pZip, c.bKeepOpen);
        CXmlMarkup markup;
        EXPECT_FALSE(markup.LoadFromFile(L"skin/main.xml"));
        EXPECT_EQ(std::wstring(markup.GetLastErrorMessage()), L"Error opening zip file");
    }
}

TEST_F(XmlMarkupZip, MemoryZipThatFailedToOpenIsNoFile)
{
    const std::string strGarbage = "not a zip";
    CUIManager::SetResourceZipFile(L"", true);
    CUIManager::SetResourceZipData(strGarbage.data(), strGarbage.size());
    CXmlMarkup markup;
    EXPECT_FALSE(markup.LoadFromFile(L"skin/main.xml"));
    EXPECT_EQ(std::wstring(markup.GetLastErrorMessage()), L"Error opening zip file");
}

}  // namespace
