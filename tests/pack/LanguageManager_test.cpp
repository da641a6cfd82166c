#include "common/LanguageManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Window/ResourcePack.h"
#include "common/SystemQueries.h"
#include "log/Log.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// The log opens once per process, so this suite opens it in a folder of its own before any test.
class LogInTempFolder : public ::testing::Environment {
public:
    void SetUp() override {
        s_pDir = new testsupport::CTempDir();
        InitLog(L"pack.log", platform::Utf8ToWide(s_pDir->Path()).c_str());
    }
    void TearDown() override {
        delete s_pDir;
        s_pDir = nullptr;
    }
    static std::string Text() { return testsupport::ReadWholeFile(s_pDir->File("pack.log")); }

private:
    static testsupport::CTempDir* s_pDir;
};
testsupport::CTempDir* LogInTempFolder::s_pDir = nullptr;
[[maybe_unused]] const ::testing::Environment* const kLogEnvironment =
    ::testing::AddGlobalTestEnvironment(new LogInTempFolder);

void UseLocale(const char* szLocale) {
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", szLocale, 1);
}

void WriteUtf16(const std::string& strPath, const std::wstring& strText) {
    fs::create_directories(fs::path(strPath).parent_path());
    ASSERT_TRUE(testsupport::WriteWholeFile(strPath, "\xFF\xFE" + platform::WideToUtf16Le(strText)));
}

// The shipped pack, unpacked once for the whole suite.
class ShippedPack : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pDir = new testsupport::CTempDir();
        s_strFolder = platform::Utf8ToWide(s_pDir->File("language/"));
        ASSERT_TRUE(LoadResZipFile(s_strFolder));
    }
    static void TearDownTestSuite() {
        delete s_pDir;
        s_pDir = nullptr;
    }
    static testsupport::CTempDir* s_pDir;
    static std::wstring s_strFolder;
};
testsupport::CTempDir* ShippedPack::s_pDir = nullptr;
std::wstring ShippedPack::s_strFolder;

TEST_F(ShippedPack, EveryListedLanguageHasItsFolder) {
    struct Case {
        const char* szLocale;
        std::wstring strCode;
        std::wstring strLanguage;
        std::wstring strInstall;
    };
    const std::vector<Case> vecCases = {
        {"en_US.UTF-8", L"1033", L"English", L"Install"},
        {"zh_TW.UTF-8", L"1028", L"ChineseTW", L"\u5B89\u88DD"},
        {"fr_FR.UTF-8", L"1036", L"French", L"Installer"},
        {"es_ES.UTF-8", L"3082", L"Spanish", L"Instalar"},
        {"pt_PT.UTF-8", L"2070", L"Portuguese", L"Instalar"},
        {"ar_SA.UTF-8", L"1025", L"Arabic", L"\u062A\u062B\u0628\u064A\u062A"},
        {"pl_PL.UTF-8 (English texts and addresses)", L"1045", L"Polish", L"Install"},
        {"sv_SE.UTF-8", L"1053", L"Swedish", L"Installera"},
        {"nl_NL.UTF-8", L"1043", L"Dutch", L"Installeren"},
        {"de_DE.UTF-8", L"1031", L"German", L"Installieren"},
        {"zh_CN.UTF-8 (not listed)", L"2052", L"English", L"Install"},
        {"pt_BR.UTF-8 (not listed)", L"1046", L"English", L"Install"},
        {"ja_JP.UTF-8 (not listed)", L"1041", L"English", L"Install"},
        {"C (unknown locale)", L"1033", L"English", L"Install"},
    };
    for (const Case& c : vecCases) {
        const std::string strLocale = std::string(c.szLocale).substr(0, std::string(c.szLocale).find(' '));
        UseLocale(strLocale.c_str());
        LanguageManager lm;
        lm.Init(s_strFolder);
        EXPECT_EQ(lm.GetLanguageCode(), c.strCode) << c.szLocale;
        EXPECT_EQ(lm.GetLanguageName(), c.strLanguage) << c.szLocale;
        EXPECT_EQ(lm.IsRightToLeft(), c.strLanguage == L"Arabic") << c.szLocale;
        EXPECT_EQ(lm.GetText(L"STR_INSTALL"), c.strInstall) << c.szLocale;
        const std::wstring strAddressLanguage = c.strLanguage == L"Polish" ? L"English" : c.strLanguage;
        EXPECT_EQ(lm.GetLicenceUrl(),
                  L"https://www.norvane.com/producturl?key=license_agreement&pid=169&lang=" + strAddressLanguage)
            << c.szLocale;
        EXPECT_EQ(lm.GetInstalledUrl(),
                  L"https://www.norvane.com/producturl?key=installed&pid=169&lang=" + strAddressLanguage)
            << c.szLocale;
        EXPECT_EQ(lm.GetDownloadUrl(), L"https://dl.norvane.com/vellumpod/norvane-vellumpod_setup.exe") << c.szLocale;
        for (const auto& [strKey, strBuiltIn] : LanguageManager::BuiltInTexts()) {
            const std::wstring strText = lm.GetText(strKey);
            EXPECT_FALSE(strText.empty()) << c.szLocale << " " << platform::WideToUtf8(strKey);
            for (const wchar_t* szPlaceholder : {L"PRODUCT", L"COLOR", L"BRAND"}) {
                EXPECT_EQ(strText.find(szPlaceholder), std::wstring::npos)
                    << c.szLocale << " " << platform::WideToUtf8(strKey);
            }
        }
    }
}

TEST_F(ShippedPack, LocaleVariablesTakeTheirPrecedence) {
    setenv("LANG", "de_DE.UTF-8", 1);
    setenv("LC_MESSAGES", "fr_FR.UTF-8", 1);
    setenv("LC_ALL", "ar_SA.UTF-8", 1);
    LanguageManager lm;
    lm.Init(s_strFolder);
    EXPECT_EQ(lm.GetLanguageName(), L"Arabic");
    unsetenv("LC_ALL");
    lm.Init(s_strFolder);
    EXPECT_EQ(lm.GetLanguageName(), L"French");
    EXPECT_FALSE(lm.IsRightToLeft());
    unsetenv("LC_MESSAGES");
}

TEST_F(ShippedPack, ProductFactsAndPlaceholders) {
    UseLocale("en_US.UTF-8");
    LanguageManager lm;
    lm.Init(s_strFolder);
    EXPECT_EQ(lm.GetText(L"STR_MESSAGEBOX_TITLE"), L"Norvane Vellumpod Setup");
    EXPECT_EQ(lm.GetText(L"STR_LISENCE"), L"I have read and agree to the {c #3AA0FF}Norvane License Agreement{/c}");
    EXPECT_EQ(lm.GetText(L"STR_START"), L"Start\u00A0Now");
    EXPECT_EQ(lm.GetText(L"STR_MB"), L"MB");
    EXPECT_EQ(lm.GetText(L"STR_NOT_A_KEY"), L"");
    EXPECT_EQ(lm.GetGaTitle(), L"Norvane Vellumpod");
    EXPECT_EQ(lm.GetProductName(), L"Norvane Vellumpod");
    EXPECT_EQ(lm.GetBrandName(), L"Norvane");
    EXPECT_EQ(lm.GetLicenceColor(), L"#3AA0FF");
    EXPECT_EQ(lm.GetExeName(), L"Vellumpod.exe");
    EXPECT_EQ(lm.GetProductSubFolder(), L"Norvane/Norvane Vellumpod/");
    EXPECT_EQ(lm.GetProductExePath(), L"Norvane/Norvane Vellumpod/Vellumpod.exe");
    EXPECT_TRUE(lm.IsRunAsAdmin());
    EXPECT_EQ(lm.GetDownloadRatio(), 80);
    EXPECT_EQ(lm.GetReadFileTimeout(), 1500);
}

TEST_F(ShippedPack, StorageUnitFallsBackForLanguagesWithoutOne) {
    struct Case {
        const char* szLocale;
        std::wstring strUnit;
    };
    const std::vector<Case> vecCases = {
        {"ar_SA.UTF-8", L"\u0645\u064A\u063A\u0627\u0628\u0627\u064A\u062A"},
        {"de_DE.UTF-8", L"MB"},
        {"sv_SE.UTF-8", L"MB"},
        {"fr_FR.UTF-8", L"MB"},
        {"zh_TW.UTF-8", L"MB"},
    };
    for (const Case& c : vecCases) {
        UseLocale(c.szLocale);
        LanguageManager lm;
        lm.Init(s_strFolder);
        EXPECT_EQ(lm.GetText(L"STR_MB"), c.strUnit) << c.szLocale;
    }
}

TEST_F(ShippedPack, DomainJoinsTheTwoPageAddresses) {
    UseLocale("en_US.UTF-8");
    LanguageManager lm;
    lm.Init(s_strFolder);
    lm.SetDomain(L"com_id");
    EXPECT_EQ(lm.GetLicenceUrl(),
              L"https://www.norvane.com/producturl?key=license_agreement&pid=169&lang=English&custom=com_id");
    EXPECT_EQ(lm.GetInstalledUrl(),
              L"https://www.norvane.com/producturl?key=installed&pid=169&lang=English&custom=com_id");
    EXPECT_EQ(lm.GetDownloadUrl(), L"https://dl.norvane.com/vellumpod/norvane-vellumpod_setup.exe");
    lm.Init(s_strFolder);
    EXPECT_EQ(lm.GetDomain(), L"");
}

// A pack written by the test, for the rules the shipped one does not exercise.
class CustomPack : public ::testing::Test {
protected:
    void SetUp() override {
        UseLocale("de_DE.UTF-8");
        m_strRoot = m_dir.File("language/");
        fs::create_directories(m_strRoot);
        ASSERT_TRUE(testsupport::WriteWholeFile(m_strRoot + "language.ini", "[Language]\r\n1031=German\r\n"));
    }
    void WriteProduct(const std::wstring& strBody) {
        WriteUtf16(m_strRoot + "productInfo.ini", L"[PRODUCT]\r\n" + strBody);
    }
    void WriteTexts(const std::wstring& strBody) {
        WriteUtf16(m_strRoot + "German/text.ini", L"[LANSTR]\r\n" + strBody);
    }
    void WriteUrls(const std::wstring& strBody) {
        WriteUtf16(m_strRoot + "German/UrlInfo.ini", L"[URL]\r\n" + strBody);
    }
    LanguageManager Load() {
        LanguageManager lm;
        lm.Init(platform::Utf8ToWide(m_strRoot));
        return lm;
    }
    testsupport::CTempDir m_dir;
    std::string m_strRoot;
};

TEST_F(CustomPack, PlaceholderPassesRunInOrder) {
    struct Case {
        const char* szCase;
        std::wstring strProduct;
        std::wstring strText;
        std::wstring strExpected;
    };
    const std::vector<Case> vecCases = {
        {"each placeholder", L"STR_PRODUCT_NAME=Pod\r\nSTR_LISENCE_COLOR=#1\r\nSTR_BRAND_NAME=Acme\r\n",
         L"PRODUCT COLOR BRAND", L"Pod #1 Acme"},
        {"repeated", L"STR_PRODUCT_NAME=Pod\r\n", L"PRODUCTPRODUCT", L"PodPod"},
        {"inserted text not rescanned by its own pass", L"STR_PRODUCT_NAME=PRODUCT X\r\n", L"PRODUCT!", L"PRODUCT X!"},
        {"later pass scans inserted text", L"STR_PRODUCT_NAME=My COLOR\r\nSTR_LISENCE_COLOR=red\r\n", L"PRODUCT",
         L"My red"},
        {"empty product and colour", L"", L"[PRODUCT|COLOR]", L"[|]"},
        {"empty brand becomes Norvane", L"STR_BRAND_NAME=\r\n", L"BRAND", L"Norvane"},
        {"case matters", L"STR_PRODUCT_NAME=Pod\r\n", L"Product product", L"Product product"},
    };
    for (const Case& c : vecCases) {
        WriteProduct(c.strProduct);
        WriteTexts(L"STR_X=" + c.strText + L"\r\n");
        EXPECT_EQ(Load().GetText(L"STR_X"), c.strExpected) << c.szCase;
    }
}

TEST_F(CustomPack, TextLinesSplitAtTheFirstEquals) {
    WriteProduct(L"");
    WriteTexts(L"STR_X=a=b\r\nSTR_NOVALUE\r\nSTR_INSTALL=Los\r\nSTR_WIDE=\U0001F600 \u062A\r\n");
    const LanguageManager lm = Load();
    EXPECT_EQ(lm.GetText(L"STR_X"), L"a=b");
    EXPECT_EQ(lm.GetText(L"STR_NOVALUE"), L"");
    EXPECT_EQ(lm.GetText(L"STR_INSTALL"), L"Los");
    EXPECT_EQ(lm.GetText(L"STR_WIDE"), L"\U0001F600 \u062A");
    EXPECT_EQ(lm.GetText(L"STR_BROWSE"), L"Browse");
    EXPECT_EQ(lm.GetText(L"STR_STORAGE"), L"Insuficient storage. Storage required:");
}

TEST_F(CustomPack, RunAsAdminIsFalseOnlyForZero) {
    struct Case {
        const char* szCase;
        std::wstring strBody;
        bool bExpected;
    };
    const std::vector<Case> vecCases = {
        {"zero", L"STR_RUN_AS_ADMIN=0\r\n", false}, {"one", L"STR_RUN_AS_ADMIN=1\r\n", true},
        {"yes", L"STR_RUN_AS_ADMIN=yes\r\n", true}, {"double zero", L"STR_RUN_AS_ADMIN=00\r\n", true},
        {"empty", L"STR_RUN_AS_ADMIN=\r\n", true},  {"missing", L"", true},
    };
    for (const Case& c : vecCases) {
        WriteProduct(c.strBody);
        EXPECT_EQ(Load().IsRunAsAdmin(), c.bExpected) << c.szCase;
    }
}

TEST_F(CustomPack, DomainRuleTable) {
    struct Case {
        const char* szCase;
        std::wstring strAddress;
        std::wstring strDomain;
        std::wstring strExpected;
    };
    const std::vector<Case> vecCases = {
        {"with key and domain", L"https://h/p?key=a", L"abc", L"https://h/p?key=a&custom=abc"},
        {"no domain", L"https://h/p?key=a", L"", L"https://h/p?key=a"},
        {"no key", L"https://h/p?id=a", L"abc", L"https://h/p?id=a"},
        {"empty address", L"", L"abc", L""},
        {"key= anywhere", L"https://h/monkey=1", L"x", L"https://h/monkey=1&custom=x"},
        {"domain with line feed kept", L"https://h/?key=1", L"a\nb", L"https://h/?key=1&custom=a\nb"},
    };
    WriteProduct(L"");
    for (const Case& c : vecCases) {
        WriteUrls(L"STR_LICENCE_URL=" + c.strAddress + L"\r\nSTR_INSTALL_URL=" + c.strAddress + L"\r\n");
        LanguageManager lm = Load();
        lm.SetDomain(c.strDomain);
        EXPECT_EQ(lm.GetLicenceUrl(), c.strExpected) << c.szCase;
        EXPECT_EQ(lm.GetInstalledUrl(), c.strExpected) << c.szCase;
    }
}

TEST_F(CustomPack, DownloadAddressFollowsTheSystemWidth) {
    WriteProduct(L"");
    WriteUrls(L"STR_DOWN_URL=https://h/32.exe\r\nSTR_DOWN_URL_X64=https://h/64.exe\r\n");
    EXPECT_EQ(Load().GetDownloadUrl(), IsWindows64Bit() ? L"https://h/64.exe" : L"https://h/32.exe");
}

TEST_F(CustomPack, SubFolderLeavesOutEmptyLevels) {
    struct Case {
        const char* szCase;
        std::wstring strBody;
        std::wstring strExpected;
    };
    const std::vector<Case> vecCases = {
        {"both", L"STR_DIR1_NAME=A\r\nSTR_DIR2_NAME=B\r\nSTR_EXE_NAME=p.exe\r\n", L"A/B/p.exe"},
        {"second only", L"STR_DIR2_NAME=B\r\nSTR_EXE_NAME=p.exe\r\n", L"B/p.exe"},
        {"first only", L"STR_DIR1_NAME=A\r\nSTR_EXE_NAME=p.exe\r\n", L"A/p.exe"},
        {"none", L"STR_EXE_NAME=p.exe\r\n", L"p.exe"},
    };
    for (const Case& c : vecCases) {
        WriteProduct(c.strBody);
        EXPECT_EQ(Load().GetProductExePath(), c.strExpected) << c.szCase;
    }
}

TEST_F(CustomPack, MissingOrBrokenFilesGiveTheBuiltInTexts) {
    struct Case {
        const char* szCase;
        std::string strTextBytes;
    };
    const std::vector<Case> vecCases = {
        {"missing", ""},
        {"empty file", "\x01"},
        {"only a byte-order mark", "\xFF\xFE"},
        {"odd byte count", "\xFF\xFE[\0L\0A\0N\0S\0T\0R\0]\0\r"s},
        {"no section", "\xFF\xFEX\0=\0Y\0"s},
    };
    for (const Case& c : vecCases) {
        fs::remove_all(m_strRoot + "German");
        if (!c.strTextBytes.empty()) {
            fs::create_directories(m_strRoot + "German");
            const std::string strBytes = c.strTextBytes == "\x01" ? std::string() : c.strTextBytes;
            ASSERT_TRUE(testsupport::WriteWholeFile(m_strRoot + "German/text.ini", strBytes));
        }
        const LanguageManager lm = Load();
        EXPECT_EQ(lm.GetLanguageName(), L"German") << c.szCase;
        for (const auto& [strKey, strText] : LanguageManager::BuiltInTexts()) {
            std::wstring strExpected = strText;
            ReplaceAll(strExpected, L"PRODUCT", L"");
            ReplaceAll(strExpected, L"COLOR", L"");
            ReplaceAll(strExpected, L"BRAND", L"Norvane");
            EXPECT_EQ(lm.GetText(strKey), strExpected) << c.szCase << " " << platform::WideToUtf8(strKey);
        }
        EXPECT_EQ(lm.GetLicenceUrl(), L"") << c.szCase;
        EXPECT_EQ(lm.GetDownloadUrl(), L"") << c.szCase;
    }
}

TEST_F(CustomPack, EveryUnusableTextFileIsLogged) {
    struct Case {
        const char* szCase;
        std::string strTextBytes;
        const char* szRecord;
    };
    const std::vector<Case> vecCases = {
        {"missing", "", "ERR: cannot read "},
        {"empty file", "\x01", "ERR: no [LANSTR] entries in "},
        {"only a byte-order mark", "\xFF\xFE", "ERR: no [LANSTR] entries in "},
        {"no section", "\xFF\xFE[\0X\0]\0\r\0\n\0X\0=\0Y\0"s, "ERR: no [LANSTR] entries in "},
        {"empty section", "\xFF\xFE[\0L\0A\0N\0S\0T\0R\0]\0"s, "ERR: no [LANSTR] entries in "},
    };
    for (const Case& c : vecCases) {
        fs::remove_all(m_strRoot + "German");
        if (!c.strTextBytes.empty()) {
            fs::create_directories(m_strRoot + "German");
            const std::string strBytes = c.strTextBytes == "\x01" ? std::string() : c.strTextBytes;
            ASSERT_TRUE(testsupport::WriteWholeFile(m_strRoot + "German/text.ini", strBytes));
        }
        const std::size_t nBefore = LogInTempFolder::Text().size();
        const LanguageManager lm = Load();
        const std::string strNew = LogInTempFolder::Text().substr(nBefore);
        EXPECT_NE(strNew.find(c.szRecord + m_strRoot + "German/text.ini"), std::string::npos)
            << c.szCase << "\n" << strNew;
        EXPECT_EQ(lm.GetText(L"STR_INSTALL"), L"Install") << c.szCase;
    }
}

TEST(LanguageManagerWithoutPack, EverythingFallsBack) {
    UseLocale("ar_SA.UTF-8");
    testsupport::CTempDir dir;
    LanguageManager lm;
    lm.Init(platform::Utf8ToWide(dir.File("nothing/")));
    EXPECT_EQ(lm.GetLanguageName(), L"English");
    EXPECT_FALSE(lm.IsRightToLeft());
    EXPECT_EQ(lm.GetLanguageCode(), L"1025");
    EXPECT_EQ(lm.GetText(L"STR_MESSAGEBOX_TITLE"), L" Setup");
    EXPECT_EQ(lm.GetText(L"STR_LISENCE"), L"I've read and agreed to {c }Norvane License Agreement{/c}");
    EXPECT_EQ(lm.GetProductSubFolder(), L"");
    EXPECT_TRUE(lm.IsRunAsAdmin());
}

TEST(ReplaceAllCount, Table) {
    struct Case {
        const char* szCase;
        std::wstring strText, strFrom, strTo, strExpected;
        int nCount;
    };
    const std::vector<Case> vecCases = {
        {"none", L"abc", L"x", L"y", L"abc", 0},
        {"growing", L"aa", L"a", L"aa", L"aaaa", 2},
        {"shrinking", L"abab", L"ab", L"", L"", 2},
        {"empty pattern", L"abc", L"", L"y", L"abc", 0},
    };
    for (const Case& c : vecCases) {
        std::wstring strText = c.strText;
        EXPECT_EQ(ReplaceAll(strText, c.strFrom, c.strTo), c.nCount) << c.szCase;
        EXPECT_EQ(strText, c.strExpected) << c.szCase;
    }
}

}  // namespace
