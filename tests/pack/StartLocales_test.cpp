#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

const std::string kWorkFolder = "/opt/norvane_down/norvane-web-setup/";

int RunInstaller(const std::string& strLocale) {
    const std::string strCommand = "env -u LC_ALL -u LC_MESSAGES LANG='" + strLocale + "' '" +
                                   testsupport::BinaryPath("norvane-web-setup") + "' >/dev/null 2>&1";
    const int nStatus = std::system(strCommand.c_str());
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

std::string LastLineWith(const std::string& strLog, const std::string& strNeedle) {
    const std::size_t nPos = strLog.rfind(strNeedle);
    if (nPos == std::string::npos) return {};
    return strLog.substr(nPos, strLog.find('\n', nPos) - nPos);
}

TEST(StartLocales, EachLocaleUnpacksThePackAndLogsItsLanguage) {
    struct Case {
        const char* szLocale;
        const char* szLanguage;
        const char* szCode;
    };
    const std::vector<Case> vecCases = {
        {"en_US.UTF-8", "English", "1033"}, {"zh_TW.UTF-8", "ChineseTW", "1028"},  {"fr_FR.UTF-8", "French", "1036"},
        {"es_ES.UTF-8", "Spanish", "3082"}, {"pt_PT.UTF-8", "Portuguese", "2070"}, {"ar_SA.UTF-8", "Arabic", "1025"},
        {"pl_PL.UTF-8", "Polish", "1045"},  {"sv_SE.UTF-8", "Swedish", "1053"},    {"nl_NL.UTF-8", "Dutch", "1043"},
        {"de_DE.UTF-8", "German", "1031"},
    };
    fs::remove_all("/opt/norvane_down");
    for (const Case& c : vecCases) {
        ASSERT_EQ(RunInstaller(c.szLocale), 0) << c.szLocale;
        const std::string strLog = testsupport::ReadWholeFile(kWorkFolder + "Log/norvane_down.log");
        EXPECT_EQ(LastLineWith(strLog, "Language Code:"), std::string("Language Code:") + c.szCode) << c.szLocale;
        EXPECT_EQ(LastLineWith(strLog, "Language:"),
                  std::string("Language:") + c.szLanguage + " Code:" + c.szCode +
                      " RightToLeft:" + (c.szLanguage == std::string("Arabic") ? "1" : "0"))
            << c.szLocale;
        EXPECT_TRUE(fs::is_regular_file(kWorkFolder + "language/" + c.szLanguage + "/text.ini")) << c.szLocale;
    }
    // Ten starts in a row rewrote the same files without a single error.
    const std::string strLog = testsupport::ReadWholeFile(kWorkFolder + "Log/norvane_down.log");
    EXPECT_EQ(strLog.find("ERR:"), std::string::npos);
    std::size_t nFiles = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kWorkFolder + "language"))
        nFiles += entry.is_regular_file();
    EXPECT_EQ(nFiles, 52u);
}

}  // namespace
