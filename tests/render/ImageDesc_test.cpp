#include <gtest/gtest.h>

#include <chrono>

#include "tests/render/RenderTestSupport.h"

using rendertest::CFakeResources;
using rendertest::MakeBitmap;
using rendertest::ToHex;

namespace {

ImageRecord* SolidImage(int nWidth, int nHeight, uint32_t dwColor) {
    auto* pRecord = new ImageRecord;
    pRecord->pBitmap = MakeBitmap(nWidth, nHeight, dwColor);
    pRecord->pPixels = pRecord->pBitmap->Pixels();
    pRecord->nWidth = nWidth;
    pRecord->nHeight = nHeight;
    pRecord->bHasAlpha = (dwColor >> 24) != 0xFF;
    return pRecord;
}

// A 30 by 30 button face: red corners, green edges, blue middle, each part 10 pixels.
ImageRecord* NineGridImage() {
    ImageRecord* pRecord = SolidImage(30, 30, 0xFF2040C0);
    platform::CCanvas canvas(*pRecord->pBitmap);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            if (x == 1 && y == 1) continue;
            const bool bCorner = x != 1 && y != 1;
            canvas.FillRect(RECT{x * 10, y * 10, x * 10 + 10, y * 10 + 10}, bCorner ? 0xFFD03030 : 0xFF30A040);
        }
    }
    canvas.FillRect(RECT{12, 12, 18, 18}, 0xFFFFFF00);
    return pRecord;
}

TEST(ImageDrawString, PairsAreRead) {
    struct Row {
        const char* pName;
        const wchar_t* pText;
        const wchar_t* pImageName;
        RECT rcDest;
        RECT rcSource;
        RECT rcCorners;
        int nFade;
        bool bHole;
        bool bXTiled;
        uint32_t dwMask;
        bool bUseResType;
        const wchar_t* pResType;
    } rows[] = {
        {"plain path", L"img/left_log.png", L"img/left_log.png", {}, {}, {}, 255, false, false, 0, false, L""},
        {"file and dest", L"file='img/checked.png' dest='0,8,14,22'", L"img/checked.png", {0, 8, 14, 22}, {}, {},
         255, false, false, 0, false, L""},
        {"all keys", L"file='a.png' source='1,2,3,4' corner='5,6,7,8' fade='128' hole='true' xtiled='true' mask='#FF00FF'",
         L"a.png", {}, {1, 2, 3, 4}, {5, 6, 7, 8}, 128, true, true, 0xFF00FF, false, L""},
        {"scale9 like corner", L"file='a.png' scale9='1,1,1,1'", L"a.png", {}, {}, {1, 1, 1, 1}, 255, false, false, 0,
         false, L""},
        {"res with type", L"res='101' restype='PNG'", L"101", {}, {}, {}, 255, false, false, 0, true, L"PNG"},
        {"restype alone is unused", L"file='a.png' restype='PNG'", L"a.png", {}, {}, {}, 255, false, false, 0, false,
         L""},
        {"colour", L"color='#FF00FF00'", L"#FF00FF00", {}, {}, {}, 255, false, false, 0, true, L"*COLOR*"},
        {"tab after a pair ends reading", L"file='a.png'\tfade='10'", L"a.png", {}, {}, {}, 255, false, false, 0, false, L""},
        {"missing quote keeps earlier", L"file='a.png' fade=10", L"a.png", {}, {}, {}, 255, false, false, 0, false, L""},
        {"unterminated value", L"file='a.png", L"file='a.png", {}, {}, {}, 255, false, false, 0, false, L""},
        {"empty value ignored", L"file='' dest='1,1,2,2'", L"file='' dest='1,1,2,2'", {1, 1, 2, 2}, {}, {}, 255, false,
         false, 0, false, L""},
        {"garbage numbers clamp", L"file='a' dest='99999999999,-99999999999,x,' fade='9999'", L"a",
         {1000000, -1000000, 0, 0}, {}, {}, 255, false, false, 0, false, L""},
        {"hole only for true", L"file='a' hole='yes'", L"a", {}, {}, {}, 255, false, false, 0, false, L""},
        {"unknown key ignored", L"file='a' what='ever'", L"a", {}, {}, {}, 255, false, false, 0, false, L""},
        {"whitespace around equals", L"file = 'a'", L"a", {}, {}, {}, 255, false, false, 0, false, L""},
        {"blanks after the commas", L"file='a' dest=' 0, 8, 14, 22' corner='1, 2,  3,4'", L"a", {0, 8, 14, 22}, {},
         {1, 2, 3, 4}, 255, false, false, 0, false, L""},
        {"blank before fade", L"file='a' fade=' 128'", L"a", {}, {}, {}, 128, false, false, 0, false, L""},
    };
    for (const Row& row : rows) {
        ImageDrawDesc desc;
        desc.SetDrawString(row.pText);
        ASSERT_TRUE(CRenderKit::ParseImageDrawString(desc)) << row.pName;
        EXPECT_EQ(desc.strImageName, row.pImageName) << row.pName;
        EXPECT_EQ(desc.rcDest, row.rcDest) << row.pName;
        EXPECT_EQ(desc.rcSource, row.rcSource) << row.pName;
        EXPECT_EQ(desc.rcCorners, row.rcCorners) << row.pName;
        EXPECT_EQ(desc.nFade, row.nFade) << row.pName;
        EXPECT_EQ(desc.bHole, row.bHole) << row.pName;
        EXPECT_EQ(desc.bXTiled, row.bXTiled) << row.pName;
        EXPECT_EQ(desc.dwMask, row.dwMask) << row.pName;
        EXPECT_EQ(desc.bUseResType, row.bUseResType) << row.pName;
        EXPECT_EQ(desc.strResType, row.pResType) << row.pName;
    }
    ImageDrawDesc empty;
    EXPECT_FALSE(CRenderKit::ParseImageDrawString(empty));
}

TEST(ImageDrawDescTest, DestinationOffsetsInsideTheControl) {
    CFakeResources resources;
    resources.SetImage(L"img/checked.png", SolidImage(14, 14, 0xFFFF0000));
    auto pBitmap = MakeBitmap(60, 60);
    platform::CCanvas canvas(*pBitmap);
    ImageDrawDesc desc;
    desc.SetDrawString(L"file='img/checked.png' dest='0,8,14,22'");
    const RECT rcItem{10, 10, 30, 40};
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, rcItem, RECT{0, 0, 60, 60}, desc));
    EXPECT_EQ(pBitmap->GetPixel(10, 18), 0xFFFF0000u);
    EXPECT_EQ(pBitmap->GetPixel(23, 31), 0xFFFF0000u);
    EXPECT_EQ(pBitmap->GetPixel(10, 17), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(24, 18), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(10, 32), 0xFFFFFFFFu);
}

TEST(ImageDrawDescTest, DestinationIsLimitedToTheControl) {
    CFakeResources resources;
    resources.SetImage(L"a", SolidImage(50, 50, 0xFFFF0000));
    auto pBitmap = MakeBitmap(60, 60);
    platform::CCanvas canvas(*pBitmap);
    ImageDrawDesc desc;
    desc.SetDrawString(L"file='a' dest='5,5,50,50'");
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{0, 0, 20, 20}, RECT{0, 0, 60, 60}, desc));
    EXPECT_EQ(pBitmap->GetPixel(19, 19), 0xFFFF0000u);
    EXPECT_EQ(pBitmap->GetPixel(20, 20), 0xFFFFFFFFu);
}

TEST(ImageDrawDescTest, MissingImageIsNotRetried) {
    CFakeResources resources;
    ImageDrawDesc desc;
    desc.SetDrawString(L"file='no/such/image.png'");
    auto pBitmap = MakeBitmap(4, 4);
    platform::CCanvas canvas(*pBitmap);
    EXPECT_FALSE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, desc));
    EXPECT_FALSE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, desc));
    EXPECT_EQ(resources.FetchCount(), 1);
    EXPECT_FALSE(CRenderKit::DrawImageDesc(&canvas, nullptr, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, desc));
}

TEST(ImageDrawDescTest, NullCanvasOnlyLoads) {
    CFakeResources resources;
    resources.SetImage(L"a", SolidImage(7, 5, 0xFF00FF00));
    ImageDrawDesc desc;
    desc.SetDrawString(L"a");
    ASSERT_TRUE(CRenderKit::DrawImageDesc(nullptr, &resources, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, desc));
    ASSERT_NE(desc.pImage, nullptr);
    EXPECT_EQ(desc.rcSource, (RECT{0, 0, 7, 5}));
}

TEST(ImageDrawDescTest, ReplacedImageIsFetchedAgain) {
    CFakeResources resources;
    resources.SetImage(L"a", SolidImage(4, 4, 0xFFFF0000));
    ImageDrawDesc desc;
    desc.SetDrawString(L"a");
    auto pBitmap = MakeBitmap(4, 4);
    platform::CCanvas canvas(*pBitmap);
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, desc));
    EXPECT_EQ(pBitmap->GetPixel(1, 1), 0xFFFF0000u);
    resources.SetImage(L"a", SolidImage(4, 4, 0xFF0000FF));
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, desc));
    EXPECT_EQ(pBitmap->GetPixel(1, 1), 0xFF0000FFu);
    resources.SetImage(L"a", nullptr);
    EXPECT_FALSE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, desc));
}

TEST(ImageDrawDescTest, SourceOutsideTheImageIsClamped) {
    CFakeResources resources;
    resources.SetImage(L"a", SolidImage(10, 10, 0xFF00FF00));
    ImageDrawDesc desc;
    desc.SetDrawString(L"file='a' source='-5,-5,99999,99999' corner='50,-3,50,99'");
    auto pBitmap = MakeBitmap(20, 20);
    platform::CCanvas canvas(*pBitmap);
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{0, 0, 20, 20}, RECT{0, 0, 20, 20}, desc));
    EXPECT_EQ(desc.rcSource, (RECT{0, 0, 10, 10}));
    EXPECT_EQ(desc.rcCorners, (RECT{10, 0, 0, 10}));
    EXPECT_EQ(pBitmap->GetPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(5, 15), 0xFF00FF00u);
}

TEST(ImageDrawDescTest, ZeroSizeTiledMiddleEnds) {
    CFakeResources resources;
    resources.SetImage(L"a", SolidImage(10, 10, 0xFF00FF00));
    ImageDrawDesc desc;
    desc.SetDrawString(L"file='a' corner='5,5,5,5' xtiled='true' ytiled='true'");
    auto pBitmap = MakeBitmap(100, 100);
    platform::CCanvas canvas(*pBitmap);
    EXPECT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{0, 0, 100, 100}, RECT{0, 0, 100, 100}, desc));
}

TEST(ImageDrawDescTest, HugeTiledDestinationCostsOnlyTheVisibleArea) {
    auto pImage = MakeBitmap(3, 3, 0xFF00FF00);
    auto pBitmap = MakeBitmap(50, 50);
    platform::CCanvas canvas(*pBitmap);
    const auto start = std::chrono::steady_clock::now();
    CRenderKit::DrawBitmap(canvas, *pImage, RECT{-900000, -900000, 900000, 900000}, RECT{0, 0, 50, 50},
                           RECT{0, 0, 1, 1}, RECT{}, false, 255, false, true, true);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(pBitmap->GetPixel(25, 25), 0xFF00FF00u);
}

TEST(NineGrid, CornersKeepTheirSizeAndTheMiddleStretches) {
    CFakeResources resources;
    resources.SetImage(L"btn", NineGridImage());
    auto pBitmap = MakeBitmap(140, 110);
    platform::CCanvas canvas(*pBitmap);
    ImageDrawDesc stretched;
    stretched.SetDrawString(L"file='btn' corner='10,10,10,10'");
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{5, 5, 125, 55}, RECT{0, 0, 140, 110}, stretched));
    ImageDrawDesc tiled;
    tiled.SetDrawString(L"file='btn' corner='10,10,10,10' xtiled='true' ytiled='true'");
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{5, 60, 75, 105}, RECT{0, 0, 140, 110}, tiled));
    ImageDrawDesc hole;
    hole.SetDrawString(L"file='btn' corner='10,10,10,10' hole='true' fade='128'");
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{80, 60, 135, 105}, RECT{0, 0, 140, 110}, hole));
    EXPECT_EQ(pBitmap->GetPixel(5, 5), 0xFFD03030u);
    EXPECT_EQ(pBitmap->GetPixel(14, 14), 0xFFD03030u);
    EXPECT_EQ(pBitmap->GetPixel(124, 54), 0xFFD03030u);
    EXPECT_EQ(pBitmap->GetPixel(60, 5), 0xFF30A040u);
    EXPECT_EQ(pBitmap->GetPixel(15, 30), 0xFF2040C0u);
    EXPECT_EQ(pBitmap->GetPixel(107, 82), 0xFFFFFFFFu);
    EXPECT_TRUE(rendertest::MatchesReference(*pBitmap, "nine_grid", 2, 0.0));
}

// A destination smaller than the corners (a progress bar near its start) shows the corners
// cut, never painted outside the destination.
TEST(NineGrid, CornersLargerThanTheDestinationStayInside) {
    CFakeResources resources;
    resources.SetImage(L"btn", NineGridImage());
    for (const wchar_t* pDrawString : {L"file='btn' corner='10,10,10,10'", L"file='btn' corner='10,10,10,10' fade='200'"}) {
        auto pBitmap = MakeBitmap(60, 60);
        platform::CCanvas canvas(*pBitmap);
        ImageDrawDesc desc;
        desc.SetDrawString(pDrawString);
        ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{20, 20, 26, 26}, RECT{0, 0, 60, 60}, desc));
        int nOutside = 0;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 60; ++x) {
                const bool bInside = x >= 20 && x < 26 && y >= 20 && y < 26;
                if (!bInside && pBitmap->GetPixel(x, y) != 0xFFFFFFFFu) ++nOutside;
                if (bInside) {
                    EXPECT_NE(pBitmap->GetPixel(x, y), 0xFFFFFFFFu) << x << "," << y;
                }
            }
        }
        EXPECT_EQ(nOutside, 0);
    }
}

TEST(NineGrid, ParedPaintRectangleDrawsOnlyItsPart) {
    CFakeResources resources;
    resources.SetImage(L"btn", NineGridImage());
    auto pBitmap = MakeBitmap(120, 50);
    platform::CCanvas canvas(*pBitmap);
    ImageDrawDesc desc;
    desc.SetDrawString(L"file='btn' corner='10,10,10,10'");
    platform::ClipRecord clip;
    CRenderKit::ClipToRect(canvas, RECT{0, 0, 60, 50}, clip);
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &resources, RECT{0, 0, 120, 50}, RECT{0, 0, 60, 50}, desc));
    CRenderKit::RestoreClip(canvas, clip);
    EXPECT_EQ(pBitmap->GetPixel(5, 5), 0xFFD03030u);
    EXPECT_EQ(pBitmap->GetPixel(115, 45), 0xFFFFFFFFu);
}

}  // namespace
