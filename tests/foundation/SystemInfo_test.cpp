#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cstdlib>

#include "common/SystemQueries.h"
#include "platform/SystemInfo.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

namespace {

struct LocaleCase {
    const char* szLocale;
    int nLanguageId;
};

class LanguageIdTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LanguageIdTest, MapsLocaleToWindowsId) {
    EXPECT_EQ(platform::LanguageIdOfLocale(GetParam().szLocale), GetParam().nLanguageId);
}

INSTANTIATE_TEST_SUITE_P(
    PackLanguagesAndMore, LanguageIdTest,
    ::testing::Values(LocaleCase{"ar_SA.UTF-8", 1025}, LocaleCase{"ar_EG.UTF-8", 3073}, LocaleCase{"zh_TW.UTF-8", 1028},
                      LocaleCase{"zh_CN.UTF-8", 2052}, LocaleCase{"nl_NL.UTF-8", 1043}, LocaleCase{"nl_BE", 2067},
                      LocaleCase{"en_US.UTF-8", 1033}, LocaleCase{"en_GB.UTF-8", 2057}, LocaleCase{"fr_FR.UTF-8", 1036},
                      LocaleCase{"fr_CA", 3084}, LocaleCase{"de_DE.UTF-8", 1031}, LocaleCase{"de_AT@euro", 3079},
                      LocaleCase{"pl_PL.UTF-8", 1045}, LocaleCase{"pt_BR.UTF-8", 1046}, LocaleCase{"pt_PT.UTF-8", 2070},
                      LocaleCase{"es_ES.UTF-8", 3082}, LocaleCase{"es_MX.UTF-8", 2058}, LocaleCase{"sv_SE.UTF-8", 1053},
                      LocaleCase{"de", 1031}, LocaleCase{"fr_XX.UTF-8", 1036}, LocaleCase{"zh-TW", 1028},
                      LocaleCase{"en_us.utf8", 1033}, LocaleCase{"C", 0}, LocaleCase{"POSIX", 0},
                      LocaleCase{"C.UTF-8", 0}, LocaleCase{"xx_YY", 0}, LocaleCase{"", 0}),
    [](const auto& info) {
        std::string name = info.param.szLocale;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return name.empty() ? std::string("empty") : name;
    });

class LocaleEnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(name);
    }
    void TearDown() override { SetUp(); }
};

TEST_F(LocaleEnvironmentTest, LcAllThenLcMessagesThenLang) {
    EXPECT_EQ(GetUILanguageCode(), L"1033");
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(GetUILanguageCode(), L"1031");
    setenv("LC_MESSAGES", "pl_PL.UTF-8", 1);
    EXPECT_EQ(GetUILanguageCode(), L"1045");
    setenv("LC_ALL", "ar_SA.UTF-8", 1);
    EXPECT_EQ(GetUILanguageCode(), L"1025");
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(GetUILanguageCode(), L"1033");
}

TEST(DiskFree, CountsAllFreeBytesOfTheNearestExistingFolder) {
    testsupport::CTempDir temp;
    ASSERT_EQ(mount("tmpfs", temp.Path().c_str(), "tmpfs", 0, "size=5368709120"), 0) << "needs root";
    std::int32_t freeMB = -1;
    EXPECT_TRUE(GetDiskFreeSizeMB(platform::Utf8ToWide(temp.Path()), freeMB));
    EXPECT_EQ(freeMB, 5120);
    freeMB = -1;
    EXPECT_TRUE(GetDiskFreeSizeMB(platform::Utf8ToWide(temp.Path() + "/not/yet/made"), freeMB));
    EXPECT_EQ(freeMB, 5120);
    umount(temp.Path().c_str());
}

TEST(WorkFolder, IsUnderProgramFilesNamedAfterTheExecutable) {
    EXPECT_EQ(GetProgramFilesFolder(), L"/opt/");
    EXPECT_EQ(GetWorkFolder(), L"/opt/norvane_down/" + GetBaseNameOfPath(GetModulePath()) + L"/");
    EXPECT_EQ(GetWorkFolder(), L"/opt/norvane_down/foundation_sysinfo_test/");
}

TEST(FileVersion, ReadsTheRecordCompiledIntoTheInstaller) {
    EXPECT_EQ(GetFileVersionText(platform::Utf8ToWide(testsupport::BinaryPath("norvane-web-setup"))), L"1.0.0.1");
}

TEST(FileVersion, FilesWithoutRecordAnswerEmpty) {
    testsupport::CTempDir temp;
    testsupport::WriteWholeFile(temp.File("garbage"), std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(200, '\xff'));
    testsupport::WriteWholeFile(temp.File("short"), "\x7f" "EL");
    for (const std::string& path : {std::string("/bin/sh"), temp.File("garbage"), temp.File("short"),
                                    std::string("/no/such/file"), temp.Path()}) {
        EXPECT_EQ(GetFileVersionText(platform::Utf8ToWide(path)), L"") << path;
    }
}

TEST(Machine, AnswersProductNameAnd64Bit) {
    EXPECT_FALSE(GetWindowsProductName().empty());
    EXPECT_EQ(IsWindows64Bit(), platform::MachineArchitecture() == "x86_64");
}

}  // namespace
