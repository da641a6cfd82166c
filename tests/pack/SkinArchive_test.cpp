#include "ui/controls/SkinArchive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pack/ZipBuilder.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

using testsupport::BuildZip;
using testsupport::ZipEntrySpec;

namespace {

constexpr std::uint32_t kAnyFailure = 0xFFFFFFFF;

std::string Pattern(std::size_t nSize) {
    std::string strData(nSize, '\0');
    for (std::size_t i = 0; i < nSize; ++i) strData[i] = static_cast<char>((i * 7 + i / 13) & 0xFF);
    return strData;
}

std::string SkinZip() {
    return BuildZip({
        {"skin.xml", "<Window size=\"650,360\"/>"},
        {"img/", "", false, 0x10},
        {"img/close-df.png", Pattern(1000)},
        {"img/stored.bin", Pattern(3000), false},
        {"\xC3\x9C"
         "ber.txt",
         "umlaut"},
        {"empty.txt", "", false},
        {"unixdir", "", false, 0x41ED0000},
    });
}

// The archive reads the caller's bytes in place: strBytes must outlive it.
SkinArchivePtr OpenMemory(const std::string& strBytes) {
    return SkinArchivePtr(SkinArchive::OpenFromMemory(strBytes.data(), strBytes.size()));
}

std::string ReadAll(SkinArchive& archive, const std::wstring& strName, std::uint32_t& nResult) {
    int nIndex = -1;
    ArchiveItem item;
    nResult = archive.FindItem(strName, true, nIndex, item);
    if (nResult != kArchive_Ok) return {};
    std::vector<std::uint8_t> vecData;
    nResult = archive.ReadItem(nIndex, vecData, 1 << 20);
    return std::string(vecData.begin(), vecData.end());
}

TEST(SkinArchive, OpensFromMemoryAndFileAlike) {
    const std::string strZip = SkinZip();
    testsupport::CTempDir dir;
    ASSERT_TRUE(testsupport::WriteWholeFile(dir.File("skin.zip"), strZip));
    SkinArchivePtr pMemory = OpenMemory(strZip);
    SkinArchivePtr pFile(SkinArchive::OpenFromFile(platform::Utf8ToWide(dir.File("skin.zip"))));
    ASSERT_TRUE(pMemory);
    ASSERT_TRUE(pFile);
    ArchiveItem count;
    EXPECT_EQ(pMemory->GetItem(-1, count), kArchive_Ok);
    EXPECT_EQ(count.nIndex, 7);
    EXPECT_TRUE(count.strName.empty());
    for (SkinArchive* pArchive : {pMemory.get(), pFile.get()}) {
        std::uint32_t nResult = 0;
        EXPECT_EQ(ReadAll(*pArchive, L"img/close-df.png", nResult), Pattern(1000));
        EXPECT_EQ(nResult, kArchive_Ok);
        EXPECT_EQ(ReadAll(*pArchive, L"img/stored.bin", nResult), Pattern(3000));
        EXPECT_EQ(nResult, kArchive_Ok);
    }
}

TEST(SkinArchive, FindItemNameRules) {
    struct Case {
        const char* szCase;
        std::wstring strQuery;
        bool bIgnoreCase;
        int nExpectedIndex;
    };
    const std::vector<Case> vecCases = {
        {"exact name", L"img/close-df.png", false, 2},
        {"backslashes match slashes", L"img\\close-df.png", false, 2},
        {"capitals with folding", L"IMG\\CLOSE-DF.PNG", true, 2},
        {"capitals without folding", L"IMG\\CLOSE-DF.PNG", false, -1},
        {"non-ASCII same case", L"\u00DCber.txt", true, 4},
        {"non-ASCII other case", L"\u00FCber.txt", true, -1},
        {"missing", L"img/missing.png", true, -1},
        {"folder entry", L"img/", true, 1},
        {"name of 256 characters", std::wstring(256, L'a'), true, -1},
        {"empty name", L"", true, -1},
    };
    const std::string strZipBytes = SkinZip();
    SkinArchivePtr pArchive = OpenMemory(strZipBytes);
    ASSERT_TRUE(pArchive);
    for (const Case& c : vecCases) {
        int nIndex = 99;
        ArchiveItem item;
        item.nIndex = 42;
        const std::uint32_t nResult = pArchive->FindItem(c.strQuery, c.bIgnoreCase, nIndex, item);
        EXPECT_EQ(nIndex, c.nExpectedIndex) << c.szCase;
        EXPECT_EQ(item.nIndex, c.nExpectedIndex) << c.szCase;
        EXPECT_EQ(nResult, c.nExpectedIndex < 0 ? kArchive_NotFound : kArchive_Ok) << c.szCase;
    }
}

TEST(SkinArchive, ItemKinds) {
    struct Case {
        const char* szCase;
        int nIndex;
        bool bFolder;
        std::uint32_t dwSize;
    };
    const std::vector<Case> vecCases = {
        {"file", 2, false, 1000},
        {"folder with slash and attribute", 1, true, 0},
        {"empty file is not a folder", 5, false, 0},
        {"unix directory bit", 6, true, 0},
    };
    const std::string strZipBytes = SkinZip();
    SkinArchivePtr pArchive = OpenMemory(strZipBytes);
    ASSERT_TRUE(pArchive);
    for (const Case& c : vecCases) {
        ArchiveItem item;
        ASSERT_EQ(pArchive->GetItem(c.nIndex, item), kArchive_Ok) << c.szCase;
        EXPECT_EQ(item.IsFolder(), c.bFolder) << c.szCase;
        EXPECT_EQ(item.dwUncompressedSize, c.dwSize) << c.szCase;
        if (!c.bFolder) {
            EXPECT_EQ(item.dwAttributes, kArchiveAttribute_Normal) << c.szCase;
        }
        // 2026-01-01 12:00:00 as the builder stamps it, in 100 ns steps since 1601.
        EXPECT_EQ(item.ftModificationTime, 134117424000000000ULL) << c.szCase;
    }
    ArchiveItem item;
    EXPECT_EQ(pArchive->GetItem(7, item), kArchive_BadArguments);
    EXPECT_EQ(pArchive->GetItem(-2, item), kArchive_BadArguments);
    EXPECT_EQ(SkinArchive::Close(nullptr), kArchive_BadArguments);
}

TEST(SkinArchive, ExtractStreamsThenEnds) {
    const std::string strZipBytes = SkinZip();
    SkinArchivePtr pArchive = OpenMemory(strZipBytes);
    ASSERT_TRUE(pArchive);
    std::string strBuffer(1000, '\0');
    EXPECT_EQ(pArchive->ExtractItem(2, strBuffer.data(), 1000), kArchive_MoreData);
    EXPECT_EQ(strBuffer, Pattern(1000));
    EXPECT_EQ(pArchive->ExtractItem(2, strBuffer.data(), 1000), kArchive_Ok);

    std::string strPieces;
    std::uint32_t nResult = kArchive_MoreData;
    while (nResult == kArchive_MoreData) {
        char acChunk[700];
        std::uint32_t nDelivered = 0;
        nResult = pArchive->ExtractItem(3, acChunk, sizeof(acChunk), nDelivered);
        strPieces.append(acChunk, nDelivered);
    }
    EXPECT_EQ(nResult, kArchive_Ok);
    EXPECT_EQ(strPieces, Pattern(3000));
}

TEST(SkinArchive, WholeReadStartsAgainAfterPartialStream) {
    const std::string strZipBytes = SkinZip();
    SkinArchivePtr pArchive = OpenMemory(strZipBytes);
    ASSERT_TRUE(pArchive);
    char acHead[100];
    EXPECT_EQ(pArchive->ExtractItem(2, acHead, sizeof(acHead)), kArchive_MoreData);
    std::vector<std::uint8_t> vecData;
    EXPECT_EQ(pArchive->ReadItem(2, vecData, 1 << 20), kArchive_Ok);
    EXPECT_EQ(std::string(vecData.begin(), vecData.end()), Pattern(1000));
    EXPECT_EQ(pArchive->ReadItem(2, vecData, 1 << 20), kArchive_Ok);
    EXPECT_EQ(vecData.size(), 1000u);
}

TEST(SkinArchive, DamagedEntriesAreRefused) {
    struct Case {
        const char* szCase;
        ZipEntrySpec entry;
        std::uint32_t nMaxBytes;
        std::uint32_t nExpected;
    };
    const std::string strData = Pattern(5000);
    const std::vector<Case> vecCases = {
        {"sound deflated", {"a", strData}, 1 << 20, kArchive_Ok},
        {"sound stored", {"a", strData, false}, 1 << 20, kArchive_Ok},
        {"wrong checksum, deflated", ZipEntrySpec("a", strData).DeclaringCrc(0x12345678u), 1 << 20,
         kArchive_BadChecksum},
        {"wrong checksum, stored", ZipEntrySpec("a", strData, false).DeclaringCrc(0x12345678u), 1 << 20,
         kArchive_BadChecksum},
        {"declared size beyond the data, stored", ZipEntrySpec("a", strData, false).DeclaringSize(6000u), 1 << 20,
         kArchive_ShortData},
        {"declared size beyond the data, deflated", ZipEntrySpec("a", strData).DeclaringSize(6000u), 1 << 20,
         kAnyFailure},
        {"declared size short of the data", ZipEntrySpec("a", strData).DeclaringSize(4000u), 1 << 20, kAnyFailure},
        {"larger than the cap", {"a", strData}, 4999, kArchive_TooLarge},
    };
    for (const Case& c : vecCases) {
        const std::string strZipBytes = BuildZip({c.entry});
        SkinArchivePtr pArchive = OpenMemory(strZipBytes);
        ASSERT_TRUE(pArchive) << c.szCase;
        std::vector<std::uint8_t> vecData;
        const std::uint32_t nResult = pArchive->ReadItem(0, vecData, c.nMaxBytes);
        if (c.nExpected == kAnyFailure) {
            EXPECT_NE(nResult, kArchive_Ok) << c.szCase;
            EXPECT_NE(nResult, kArchive_MoreData) << c.szCase;
        } else {
            EXPECT_EQ(nResult, c.nExpected) << c.szCase;
        }
        if (c.nExpected != kArchive_Ok) {
            EXPECT_TRUE(vecData.empty()) << c.szCase;
        }
    }
}

TEST(SkinArchive, CorruptDeflateStreamFails) {
    std::string strZip = BuildZip({{"a", Pattern(5000)}});
    const std::size_t nData = testsupport::OffsetOf(strZip, "a") + 1;
    for (std::size_t i = nData + 10; i < nData + 60; ++i) strZip[i] = static_cast<char>(~strZip[i]);
    SkinArchivePtr pArchive = OpenMemory(strZip);
    ASSERT_TRUE(pArchive);
    std::vector<std::uint8_t> vecData;
    const std::uint32_t nResult = pArchive->ReadItem(0, vecData, 1 << 20);
    EXPECT_NE(nResult, kArchive_Ok);
    EXPECT_NE(nResult, kArchive_MoreData);
}

TEST(SkinArchive, UnreadableSourcesGiveNoArchive) {
    const std::string strZip = SkinZip();
    struct Case {
        const char* szCase;
        std::string strBytes;
    };
    const std::vector<Case> vecCases = {
        {"not a zip", std::string(4096, 'x')},
        {"truncated directory", strZip.substr(0, strZip.size() - 30)},
        {"only the head", strZip.substr(0, 100)},
        {"single byte", "P"},
    };
    for (const Case& c : vecCases) {
        EXPECT_FALSE(OpenMemory(c.strBytes)) << c.szCase;
    }
    EXPECT_EQ(SkinArchive::OpenFromMemory(nullptr, 10), nullptr);
    EXPECT_EQ(SkinArchive::OpenFromFile(L"/nonexistent/skin.zip"), nullptr);
    EXPECT_EQ(SkinArchive::OpenFromFile(L""), nullptr);
}

TEST(SkinArchive, ManyEntriesAreCounted) {
    std::vector<ZipEntrySpec> vecEntries;
    for (int i = 0; i < 62; ++i) vecEntries.push_back({"f" + std::to_string(i), std::to_string(i)});
    const std::string strZipBytes = BuildZip(vecEntries);
    SkinArchivePtr pArchive = OpenMemory(strZipBytes);
    ASSERT_TRUE(pArchive);
    ArchiveItem item;
    EXPECT_EQ(pArchive->GetItem(-1, item), kArchive_Ok);
    EXPECT_EQ(item.nIndex, 62);
}

}  // namespace
