#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/SystemQueries.h"
#include "tests/support/Sandbox.h"

namespace {

struct PathCase {
    const char* szName;
    const wchar_t* szInput;
    const wchar_t* szExpected;
};

std::string CaseName(const ::testing::TestParamInfo<PathCase>& info) {
    return info.param.szName;
}

class NormalizePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(NormalizePathTest, Normalizes) {
    std::wstring path = GetParam().szInput;
    NormalizePath(path);
    EXPECT_EQ(path, GetParam().szExpected);
}

INSTANTIATE_TEST_SUITE_P(Paths, NormalizePathTest,
                         ::testing::Values(PathCase{"foreign_separators", L"/a\\b\\\\c", L"/a/b/c"},
                                           PathCase{"double_becomes_one", L"/opt//x", L"/opt/x"},
                                           PathCase{"three_become_two", L"/a///b", L"/a//b"},
                                           PathCase{"four_become_two", L"/a////b", L"/a//b"},
                                           PathCase{"mixed_run", L"/a\\/b", L"/a/b"},
                                           PathCase{"empty", L"", L""},
                                           PathCase{"root", L"/", L"/"}),
                         CaseName);

class TrimTrailingTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(TrimTrailingTest, Trims) {
    std::wstring path = GetParam().szInput;
    TrimTrailingBackslash(path);
    EXPECT_EQ(path, GetParam().szExpected);
}

INSTANTIATE_TEST_SUITE_P(Paths, TrimTrailingTest,
                         ::testing::Values(PathCase{"one_trailing", L"/opt/a/", L"/opt/a"},
                                           PathCase{"foreign_trailing", L"/opt/a\\", L"/opt/a"},
                                           PathCase{"double_trailing_normalised_first", L"/opt/a//", L"/opt/a"},
                                           PathCase{"root_kept", L"/", L"/"},
                                           PathCase{"none", L"/opt", L"/opt"},
                                           PathCase{"empty", L"", L""}),
                         CaseName);

class FileNameTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(FileNameTest, TakesLastComponent) {
    EXPECT_EQ(GetFileNameOfPath(GetParam().szInput), GetParam().szExpected);
}

INSTANTIATE_TEST_SUITE_P(Paths, FileNameTest,
                         ::testing::Values(PathCase{"plain", L"/opt/x/setup.exe", L"setup.exe"},
                                           PathCase{"foreign", L"\\x\\y.txt", L"y.txt"},
                                           PathCase{"bare", L"name", L"name"},
                                           PathCase{"trailing_separator", L"/opt/", L""},
                                           PathCase{"empty", L"", L""}),
                         CaseName);

class BaseNameTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(BaseNameTest, DropsFolderAndLastExtension) {
    EXPECT_EQ(GetBaseNameOfPath(GetParam().szInput), GetParam().szExpected);
}

INSTANTIATE_TEST_SUITE_P(Paths, BaseNameTest,
                         ::testing::Values(PathCase{"two_dots", L"/x/a.b.exe", L"a.b"},
                                           PathCase{"no_extension", L"/x/setup", L"setup"},
                                           PathCase{"dot_in_folder_only", L"/my.dir/setup", L"setup"},
                                           PathCase{"linux_name", L"/usr/local/bin/norvane-web-setup",
                                                    L"norvane-web-setup"},
                                           PathCase{"bare_with_extension", L"setup.exe", L"setup"}),
                         CaseName);

TEST(GetFolderOfPath, BareFileNameAnswersFalseAndKeepsFolder) {
    std::wstring folder = L"untouched";
    EXPECT_FALSE(GetFolderOfPath(L"setup.exe", folder));
    EXPECT_EQ(folder, L"untouched");
    EXPECT_TRUE(GetFolderOfPath(L"/opt\\a//b.txt", folder));
    EXPECT_EQ(folder, L"/opt/a");
    EXPECT_TRUE(GetFolderOfPath(L"/b.txt", folder));
    EXPECT_EQ(folder, L"");
}

TEST(CreateFolderTree, CreatesEveryMissingParent) {
    testsupport::CTempDir temp;
    const std::wstring root(temp.Path().begin(), temp.Path().end());
    std::filesystem::create_directory(temp.Path() + "/a");
    EXPECT_TRUE(CreateFolderTree(root + L"/a/b/c"));
    EXPECT_TRUE(std::filesystem::is_directory(temp.Path() + "/a/b/c"));
    EXPECT_TRUE(CreateFolderTree(root + L"\\x\\\\y\\"));
    EXPECT_TRUE(std::filesystem::is_directory(temp.Path() + "/x/y"));
}

TEST(CreateFolderTree, EmptyPathAnswersFalse) {
    EXPECT_FALSE(CreateFolderTree(L""));
}

TEST(CreateFolderTree, ExistingFileAnswersTrueWithoutCreating) {
    testsupport::CTempDir temp;
    ASSERT_TRUE(testsupport::WriteWholeFile(temp.File("file"), "x"));
    const std::string path = temp.File("file");
    EXPECT_TRUE(CreateFolderTree(std::wstring(path.begin(), path.end())));
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
}

TEST(CreateFolderTree, UncreatableFolderAnswersFalse) {
    testsupport::CTempDir temp;
    ASSERT_TRUE(testsupport::WriteWholeFile(temp.File("file"), "x"));
    const std::string path = temp.File("file") + "/below";
    EXPECT_FALSE(CreateFolderTree(std::wstring(path.begin(), path.end())));
}

TEST(FileCanBeRead, FilesYesFoldersAndMissingNo) {
    testsupport::CTempDir temp;
    ASSERT_TRUE(testsupport::WriteWholeFile(temp.File("f"), "x"));
    const std::string file = temp.File("f");
    EXPECT_TRUE(FileCanBeRead(std::wstring(file.begin(), file.end())));
    EXPECT_FALSE(FileCanBeRead(std::wstring(temp.Path().begin(), temp.Path().end())));
    EXPECT_FALSE(FileCanBeRead(L"/no/such/file"));
    EXPECT_FALSE(FileCanBeRead(L""));
}

TEST(PathExists, NormalisesFirst) {
    EXPECT_TRUE(PathExists(L"\\tmp"));
    EXPECT_TRUE(PathExists(L"//tmp//"));
    EXPECT_FALSE(PathExists(L"/no/such/folder"));
    EXPECT_FALSE(PathExists(L""));
}

}  // namespace
