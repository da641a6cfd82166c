#include "Window/ResourcePack.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Resources.h"
#include "platform/Text.h"
#include "tests/pack/ZipBuilder.h"
#include "tests/support/Sandbox.h"
#include "ui/controls/SkinArchive.h"

namespace {

namespace fs = std::filesystem;
using testsupport::BuildZip;
using testsupport::ZipEntrySpec;

std::span<const std::uint8_t> BytesOf(const std::string& strZip) {
    return {reinterpret_cast<const std::uint8_t*>(strZip.data()), strZip.size()};
}

std::vector<std::string> FilesBelow(const std::string& strRoot) {
    std::vector<std::string> vecFiles;
    for (const auto& entry : fs::recursive_directory_iterator(strRoot)) {
        vecFiles.push_back(fs::relative(entry.path(), strRoot).string() + (entry.is_directory() ? "/" : ""));
    }
    std::sort(vecFiles.begin(), vecFiles.end());
    return vecFiles;
}

TEST(ResourcePack, HostileNamesStayInside) {
    testsupport::CTempDir dir;
    const std::string strTarget = dir.File("work/language");
    const std::string strZip = BuildZip({
        {"../escaped.txt", "x"},
        {"/tmp/absolute.txt", "x"},
        {"C:/drive.txt", "x"},
        {"..\\..\\backslash.txt", "x"},
        {"English/../../../climb.txt", "x"},
        {"English//double.txt", "x"},
        {"English/text.ini", "good"},
    });
    const UnpackCounts counts = UnpackArchive(BytesOf(strZip), platform::Utf8ToWide(strTarget));
    EXPECT_TRUE(counts.bOpened);
    EXPECT_EQ(counts.nFiles, 1);
    EXPECT_EQ(counts.nSkipped, 6);
    EXPECT_EQ(FilesBelow(dir.Path()), (std::vector<std::string>{"work/", "work/language/", "work/language/English/",
                                                                "work/language/English/text.ini"}));
    EXPECT_FALSE(fs::exists("/tmp/absolute.txt"));
}

std::string Repeated(const std::string& strPiece, int nTimes) {
    std::string strText;
    for (int i = 0; i < nTimes; ++i) strText += strPiece;
    return strText;
}

TEST(ResourcePack, NamesUpToTheLengthLimitAreWritten) {
    struct Case {
        const char* szCase;
        std::string strName;
        bool bWritten;
    };
    const std::vector<Case> vecCases = {
        {"short", "a.txt", true},
        {"255 bytes", std::string(251, 'n') + ".png", true},
        {"255 bytes in a folder", "English/" + std::string(251, 'n') + ".ini", true},
        {"256 bytes of two-byte letters", Repeated("\xC3\xA9", 128), false},
        {"256 bytes", std::string(256, 'n'), false},
    };
    for (const Case& c : vecCases) {
        testsupport::CTempDir dir;
        const UnpackCounts counts =
            UnpackArchive(BytesOf(BuildZip({{c.strName, "data"}})), platform::Utf8ToWide(dir.Path()));
        EXPECT_EQ(counts.nFiles, c.bWritten ? 1 : 0) << c.szCase;
        std::error_code error;
        EXPECT_EQ(fs::exists(dir.File(c.strName), error), c.bWritten) << c.szCase;
        if (c.bWritten) {
            EXPECT_EQ(testsupport::ReadWholeFile(dir.File(c.strName)), "data") << c.szCase;
        }
        const auto vecFiles = FilesBelow(dir.Path());
        EXPECT_TRUE(std::none_of(vecFiles.begin(), vecFiles.end(),
                                 [](const std::string& strFile) { return strFile.find(".part") != std::string::npos; }))
            << c.szCase;
    }
}

TEST(ResourcePack, FoldersOnlyWhenTheArchiveSaysSo) {
    testsupport::CTempDir dir;
    const std::string strZip = BuildZip({
        {"Folder/", "", false, 0x10},
        {"UnixFolder", "", false, 0x41ED0000},
        {"empty.txt", "", false},
        {"Late/file.txt", "parent created"},
    });
    const UnpackCounts counts = UnpackArchive(BytesOf(strZip), platform::Utf8ToWide(dir.Path()));
    EXPECT_EQ(counts.nFolders, 2);
    EXPECT_EQ(counts.nFiles, 2);
    EXPECT_TRUE(fs::is_directory(dir.File("Folder")));
    EXPECT_TRUE(fs::is_directory(dir.File("UnixFolder")));
    EXPECT_TRUE(fs::is_regular_file(dir.File("empty.txt")));
    EXPECT_EQ(fs::file_size(dir.File("empty.txt")), 0u);
    EXPECT_EQ(testsupport::ReadWholeFile(dir.File("Late/file.txt")), "parent created");
}

TEST(ResourcePack, DamagedEntriesNeverReachTheDisk) {
    struct Case {
        const char* szCase;
        ZipEntrySpec entry;
    };
    const std::string strData(20000, 'd');
    const std::vector<Case> vecCases = {
        {"wrong checksum", ZipEntrySpec("a.bin", strData).DeclaringCrc(0xDEADBEEF)},
        {"wrong checksum, stored", ZipEntrySpec("a.bin", strData, false).DeclaringCrc(0xDEADBEEF)},
        {"data shorter than declared", ZipEntrySpec("a.bin", strData, false).DeclaringSize(30000)},
        {"declared beyond the entry cap", ZipEntrySpec("a.bin", strData).DeclaringSize(kMaxUnpackEntryBytes + 1)},
    };
    for (const Case& c : vecCases) {
        testsupport::CTempDir dir;
        ASSERT_TRUE(testsupport::WriteWholeFile(dir.File("a.bin"), "previous"));
        const std::string strZip = BuildZip({c.entry});
        const UnpackCounts counts = UnpackArchive(BytesOf(strZip), platform::Utf8ToWide(dir.Path()));
        EXPECT_EQ(counts.nSkipped, 1) << c.szCase;
        EXPECT_EQ(testsupport::ReadWholeFile(dir.File("a.bin")), "previous") << c.szCase;
        EXPECT_EQ(FilesBelow(dir.Path()), std::vector<std::string>{"a.bin"}) << c.szCase;
    }
}

TEST(ResourcePack, TotalSizeIsCapped) {
    testsupport::CTempDir dir;
    const std::uint32_t nDeclared = kMaxUnpackEntryBytes - 1;
    std::vector<ZipEntrySpec> vecEntries;
    for (int i = 0; i < 5; ++i) {
        vecEntries.push_back(ZipEntrySpec("big" + std::to_string(i), "x").DeclaringSize(nDeclared));
    }
    vecEntries.push_back({"small.txt", "fits"});
    const std::string strZip = BuildZip(vecEntries);
    const UnpackCounts counts = UnpackArchive(BytesOf(strZip), platform::Utf8ToWide(dir.Path()));
    EXPECT_TRUE(counts.bOpened);
    EXPECT_EQ(counts.nSkipped, 6);
    EXPECT_EQ(counts.nFiles, 0);
    EXPECT_TRUE(FilesBelow(dir.Path()).empty());
}

TEST(ResourcePack, CorruptArchivesUnpackNothing) {
    const std::string strZip = BuildZip({{"a.txt", "a"}});
    struct Case {
        const char* szCase;
        std::string strBytes;
    };
    const std::vector<Case> vecCases = {
        {"empty", ""},
        {"not a zip", "plain text"},
        {"truncated", strZip.substr(0, strZip.size() / 2)},
    };
    for (const Case& c : vecCases) {
        testsupport::CTempDir dir;
        const UnpackCounts counts = UnpackArchive(BytesOf(c.strBytes), platform::Utf8ToWide(dir.File("lang")));
        EXPECT_FALSE(counts.bOpened) << c.szCase;
        EXPECT_EQ(counts.nFiles, 0) << c.szCase;
        EXPECT_TRUE(fs::is_directory(dir.File("lang"))) << c.szCase;
        EXPECT_TRUE(fs::is_empty(dir.File("lang"))) << c.szCase;
    }
}

ino_t InodeOf(const std::string& strPath) {
    struct stat info {};
    return stat(strPath.c_str(), &info) == 0 ? info.st_ino : 0;
}

TEST(ResourcePack, RepeatedUnpackRestoresChangedFilesOnly) {
    testsupport::CTempDir dir;
    const std::string strZip = BuildZip({{"same.txt", "same"}, {"changed.txt", "original"}, {"link.txt", "mine"}});
    const std::wstring strTarget = platform::Utf8ToWide(dir.File("t"));
    ASSERT_EQ(UnpackArchive(BytesOf(strZip), strTarget).nFiles, 3);
    const ino_t nSameInode = InodeOf(dir.File("t/same.txt"));
    ASSERT_TRUE(testsupport::WriteWholeFile(dir.File("t/changed.txt"), "edited by someone"));
    ASSERT_TRUE(testsupport::WriteWholeFile(dir.File("outside.txt"), "keep"));
    fs::remove(dir.File("t/link.txt"));
    fs::create_symlink(dir.File("outside.txt"), dir.File("t/link.txt"));

    const UnpackCounts counts = UnpackArchive(BytesOf(strZip), strTarget);
    EXPECT_EQ(counts.nFiles, 3);
    EXPECT_EQ(counts.nSkipped, 0);
    EXPECT_EQ(InodeOf(dir.File("t/same.txt")), nSameInode);
    EXPECT_EQ(testsupport::ReadWholeFile(dir.File("t/changed.txt")), "original");
    EXPECT_FALSE(fs::is_symlink(dir.File("t/link.txt")));
    EXPECT_EQ(testsupport::ReadWholeFile(dir.File("t/link.txt")), "mine");
    EXPECT_EQ(testsupport::ReadWholeFile(dir.File("outside.txt")), "keep");
    EXPECT_EQ(FilesBelow(dir.File("t")), (std::vector<std::string>{"changed.txt", "link.txt", "same.txt"}));
}

std::uint32_t ReadBigEndian32(const std::string& strBytes, std::size_t nOffset) {
    std::uint32_t nValue = 0;
    for (std::size_t i = 0; i < 4; ++i) nValue = (nValue << 8) | static_cast<std::uint8_t>(strBytes[nOffset + i]);
    return nValue;
}

bool HasUtf16Bom(const std::string& strBytes) {
    return strBytes.size() >= 2 && strBytes[0] == '\xFF' && strBytes[1] == '\xFE';
}

TEST(ResourcePack, ShippedPackUnpacksWhole) {
    testsupport::CTempDir dir;
    const std::wstring strTarget = platform::Utf8ToWide(dir.File("language"));
    ASSERT_TRUE(LoadResZipFile(strTarget));
    const std::vector<std::string> vecLanguages = {"Arabic", "ChineseTW", "Dutch",      "English", "French",
                                                   "German", "Polish",    "Portuguese", "Spanish", "Swedish"};
    const std::string strRoot = dir.File("language/");
    const std::string strLanguageIni = testsupport::ReadWholeFile(strRoot + "language.ini");
    EXPECT_FALSE(HasUtf16Bom(strLanguageIni));
    EXPECT_NE(strLanguageIni.find("[Language]"), std::string::npos);
    EXPECT_TRUE(HasUtf16Bom(testsupport::ReadWholeFile(strRoot + "productInfo.ini")));
    for (const std::string& strLanguage : vecLanguages) {
        const std::string strFolder = strRoot + strLanguage + "/";
        EXPECT_TRUE(HasUtf16Bom(testsupport::ReadWholeFile(strFolder + "text.ini"))) << strLanguage;
        EXPECT_TRUE(HasUtf16Bom(testsupport::ReadWholeFile(strFolder + "UrlInfo.ini"))) << strLanguage;
        for (int n = 1; n <= 3; ++n) {
            const std::string strPng = testsupport::ReadWholeFile(strFolder + "pr_" + std::to_string(n) + ".png");
            ASSERT_GT(strPng.size(), 24u) << strLanguage << n;
            EXPECT_EQ(strPng.substr(1, 3), "PNG") << strLanguage << n;
            EXPECT_EQ(ReadBigEndian32(strPng, 16), 650u) << strLanguage << n;
            EXPECT_EQ(ReadBigEndian32(strPng, 20), 290u) << strLanguage << n;
        }
    }
    // Starting again rewrites the same files without error.
    EXPECT_TRUE(LoadResZipFile(strTarget));
    EXPECT_EQ(FilesBelow(strRoot).size(), 2u + 10u * 6u);
}

TEST(ResourcePack, ShippedArchivesAndDomain) {
    const auto pack = platform::FindResource(platform::kResourceType_RcData, 105);
    SkinArchivePtr pPack(SkinArchive::OpenFromMemory(pack.data(), pack.size()));
    ASSERT_TRUE(pPack);
    ArchiveItem item;
    pPack->GetItem(-1, item);
    EXPECT_EQ(item.nIndex, 62);
    pPack->GetItem(2, item);
    EXPECT_EQ(item.strName, L"Arabic/");
    EXPECT_TRUE(item.IsFolder());

    const auto skin = platform::FindResource(L"zipres", 104);
    SkinArchivePtr pSkin(SkinArchive::OpenFromMemory(skin.data(), skin.size()));
    ASSERT_TRUE(pSkin);
    int nIndex = -1;
    EXPECT_EQ(pSkin->FindItem(L"SKIN.XML", true, nIndex, item), kArchive_Ok);
    EXPECT_EQ(pSkin->FindItem(L"skin_rtl.xml", true, nIndex, item), kArchive_Ok);

    const auto domain = platform::FindResource(platform::kResourceType_RcData, 106);
    EXPECT_EQ(std::string(domain.begin(), domain.end()), "com_id\r\n");
    const auto icon = platform::FindResource(platform::kResourceType_Icon, 101);
    ASSERT_GT(icon.size(), 24u);
    EXPECT_EQ(std::string(icon.begin() + 1, icon.begin() + 4), "PNG");
    EXPECT_TRUE(platform::FindResource(platform::kResourceType_RcData, 107).empty());
}

}  // namespace
