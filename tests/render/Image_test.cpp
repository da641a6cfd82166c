#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/render/RenderTestSupport.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

using rendertest::ToHex;

namespace {

// A PNG file made from premultiplied pixels, as bytes.
std::string MakePng(int nWidth, int nHeight, const std::vector<uint32_t>& pixels) {
    auto pBitmap = platform::CBitmap::Create(nWidth, nHeight);
    pBitmap->BeginPixelAccess();
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            pBitmap->Pixels()[y * pBitmap->StridePixels() + x] = pixels[size_t(y * nWidth + x)];
    pBitmap->EndPixelAccess();
    testsupport::CTempDir temp;
    pBitmap->SavePng(temp.File("image.png"));
    return testsupport::ReadWholeFile(temp.File("image.png"));
}

ImageRecord* Load(const std::string& strBytes, uint32_t dwMask = 0) {
    return CRenderKit::LoadImageFromMemory(reinterpret_cast<const uint8_t*>(strBytes.data()), strBytes.size(), dwMask);
}

struct RecordDeleter {
    void operator()(ImageRecord* pRecord) const { CRenderKit::FreeImageRecord(pRecord, true); }
};
using RecordPtr = std::unique_ptr<ImageRecord, RecordDeleter>;

TEST(ImageLoading, PixelsArePremultiplied) {
    RecordPtr pRecord(Load(MakePng(2, 1, {0xFF336699, 0x80800000})));
    ASSERT_TRUE(pRecord);
    EXPECT_EQ(pRecord->nWidth, 2);
    EXPECT_EQ(pRecord->nHeight, 1);
    EXPECT_TRUE(pRecord->bHasAlpha);
    EXPECT_EQ(pRecord->pBitmap->GetPixel(0, 0), 0xFF336699u);
    EXPECT_EQ(pRecord->pBitmap->GetPixel(1, 0), 0x80800000u) << ToHex(pRecord->pBitmap->GetPixel(1, 0));
}

TEST(ImageLoading, OpaqueImageHasNoAlpha) {
    RecordPtr pRecord(Load(MakePng(2, 2, {0xFF000000, 0xFFFFFFFF, 0xFF123456, 0xFF654321})));
    ASSERT_TRUE(pRecord);
    EXPECT_FALSE(pRecord->bHasAlpha);
}

TEST(ImageLoading, MaskColourBecomesTransparent) {
    RecordPtr pRecord(Load(MakePng(2, 1, {0xFFFF00FF, 0xFF00FF00}), 0xFFFF00FF));
    ASSERT_TRUE(pRecord);
    EXPECT_TRUE(pRecord->bHasAlpha);
    EXPECT_EQ(pRecord->pBitmap->GetPixel(0, 0), 0u);
    EXPECT_EQ(pRecord->pBitmap->GetPixel(1, 0), 0xFF00FF00u);
}

TEST(ImageLoading, BadBytesGiveNothing) {
    const std::string strGood = MakePng(8, 8, std::vector<uint32_t>(64, 0xFF808080));
    std::string strLyingSize = strGood;
    // The IHDR width (bytes 16..19, big-endian) claims 100000 pixels.
    strLyingSize[16] = 0;
    strLyingSize[17] = 0x01;
    strLyingSize[18] = char(0x86);
    strLyingSize[19] = char(0xA0);
    std::string strHugeButValid = strGood;
    strHugeButValid[18] = char(0x40);
    std::string strTooManyPixels = strGood;
    for (int nOffset : {16, 20}) {
        strTooManyPixels[size_t(nOffset) + 2] = char(0x1F);
        strTooManyPixels[size_t(nOffset) + 3] = char(0x40);
    }
    struct Row {
        const char* pName;
        std::string strBytes;
    } rows[] = {
        {"empty", ""},
        {"garbage", "not an image at all"},
        {"header only", strGood.substr(0, 33)},
        {"truncated", strGood.substr(0, strGood.size() / 2)},
        {"width lies", strLyingSize},
        {"header claims 16392 pixels wide", strHugeButValid},
        {"header claims 8000 by 8000", strTooManyPixels},
    };
    for (const Row& row : rows) {
        RecordPtr pRecord(Load(row.strBytes));
        EXPECT_FALSE(pRecord) << row.pName;
    }
}

TEST(ImageLoading, ColourImageIsOnePixel) {
    RecordPtr pRecord(CRenderKit::LoadImageData(L"#FF00FF00", kColorResourceType, 0));
    ASSERT_TRUE(pRecord);
    EXPECT_EQ(pRecord->nWidth, 1);
    EXPECT_EQ(pRecord->pBitmap->GetPixel(0, 0), 0xFF00FF00u);
    RecordPtr pWhite(CRenderKit::LoadImageData(L"FFFFFFFF", kColorResourceType, 0));
    ASSERT_TRUE(pWhite);
    EXPECT_EQ(pWhite->pBitmap->GetPixel(0, 0), 0xFFFFFFFFu);
    RecordPtr pMasked(CRenderKit::LoadImageData(L"#FFFF0000", kColorResourceType, 0xFFFF0000));
    ASSERT_TRUE(pMasked);
    EXPECT_EQ(pMasked->pBitmap->GetPixel(0, 0), 0u);
    EXPECT_TRUE(pMasked->bHasAlpha);
}

TEST(ImageLoading, PlainPathAndMissingFile) {
    testsupport::CTempDir temp;
    testsupport::WriteWholeFile(temp.File("a.png"), MakePng(3, 2, std::vector<uint32_t>(6, 0xFF0000FF)));
    const std::wstring strPath = platform::Utf8ToWide(temp.File("a.png"));
    RecordPtr pRecord(CRenderKit::LoadImageData(strPath.c_str(), nullptr, 0));
    ASSERT_TRUE(pRecord);
    EXPECT_EQ(pRecord->nWidth, 3);
    EXPECT_FALSE(CRenderKit::LoadImageData(L"/no/such/file.png", nullptr, 0));
    EXPECT_FALSE(CRenderKit::LoadImageData(L"", nullptr, 0));
}

TEST(ColourShift, NeutralValuesKeepTheColour) {
    EXPECT_EQ(CRenderKit::ShiftColor(0x80123456, 180, 100, 100), 0x80123456u);
}

TEST(ColourShift, ShiftsHueAndScalesLightness) {
    struct Row {
        const char* pName;
        uint32_t dwColor;
        short nHue, nSaturation, nLightness;
        uint32_t dwExpected;
    } rows[] = {
        {"red to green", 0xFFFF0000, 300, 100, 100, 0xFF00FF00},
        {"red to blue", 0xFFFF0000, 60, 100, 100, 0xFF0000FF},
        {"grey darker", 0xFF808080, 180, 100, 50, 0xFF404040},
        {"no saturation", 0xFFFF0000, 180, 0, 100, 0xFF808080},
        {"alpha kept", 0x40FF0000, 300, 100, 100, 0x4000FF00},
    };
    for (const Row& row : rows) {
        const uint32_t dwShifted = CRenderKit::ShiftColor(row.dwColor, row.nHue, row.nSaturation, row.nLightness);
        for (int nShift = 0; nShift < 32; nShift += 8)
            EXPECT_NEAR(int((dwShifted >> nShift) & 0xFF), int((row.dwExpected >> nShift) & 0xFF), 1)
                << row.pName << " " << ToHex(dwShifted);
    }
}

TEST(ColourShift, ImagePixelsFollowFromKeptCopy) {
    RecordPtr pRecord(Load(MakePng(1, 1, {0xFFFF0000})));
    ASSERT_TRUE(pRecord);
    ASSERT_TRUE(CRenderKit::KeepImagePixels(pRecord.get()));
    CRenderKit::ShiftImagePixels(pRecord.get(), true, 300, 100, 100);
    EXPECT_EQ(pRecord->pBitmap->GetPixel(0, 0), 0xFF00FF00u);
    CRenderKit::ShiftImagePixels(pRecord.get(), false, 300, 100, 100);
    EXPECT_EQ(pRecord->pBitmap->GetPixel(0, 0), 0xFFFF0000u);
}

}  // namespace
