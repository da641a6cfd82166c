#include <gtest/gtest.h>

#include "platform/TextLayout.h"
#include "tests/render/RenderTestSupport.h"

using rendertest::CFakeResources;
using rendertest::MakeBitmap;

namespace {

// The leftmost and rightmost columns holding ink darker than the background.
std::pair<int, int> InkColumns(const platform::CBitmap& bitmap, const RECT& rc) {
    int nLeft = -1;
    int nRight = -1;
    for (int x = rc.left; x < rc.right; ++x) {
        for (int y = rc.top; y < rc.bottom; ++y) {
            if ((bitmap.GetPixel(x, y) & 0xFF) < 0xC0) {
                if (nLeft < 0) nLeft = x;
                nRight = x;
                break;
            }
        }
    }
    return {nLeft, nRight};
}

TEST(TextFonts, SizesArePixels) {
    rendertest::UseRepositoryFonts();
    platform::FontHandle hFont = platform::CreateFontHandle(L"Segoe UI", 20, false, false, false);
    platform::TextMetrics metrics;
    ASSERT_TRUE(platform::GetFontTextMetrics(hFont, metrics));
    EXPECT_GE(metrics.nHeight, 20);
    EXPECT_LE(metrics.nHeight, 26);
    EXPECT_GE(metrics.nMaxCharWidth, metrics.nAveCharWidth);
    platform::FontHandle hBold = platform::CreateFontHandle(L"Segoe UI", 20, true, false, false);
    EXPECT_GT(platform::MeasureTextLine(hBold, L"Install", -1).cx, platform::MeasureTextLine(hFont, L"Install", -1).cx);
    EXPECT_EQ(platform::CreateFontHandle(L"x", 0, false, false, false), nullptr);
    platform::DeleteFontHandle(hBold);
    platform::DeleteFontHandle(hFont);
}

TEST(TextMeasure, CalcRectKeepsLeftAndTop) {
    CFakeResources resources;
    RECT rc{10, 20, 9999, 100};
    CRenderKit::DrawPlainText(nullptr, &resources, rc, L"Install", 0xFF000000, -1, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 20);
    const SIZE size = platform::MeasureTextLine(resources.GetFont(-1), L"Install", -1);
    EXPECT_EQ(rc.right, 10 + size.cx);
    EXPECT_EQ(rc.bottom, 20 + size.cy);
}

TEST(TextMeasure, WordBreakWrapsButNeverSplitsAWord) {
    CFakeResources resources;
    platform::FontHandle hFont = resources.GetFont(-1);
    const int nLine = platform::MeasureTextLine(hFont, L"x", 1).cy;
    RECT rc{0, 0, 120, 9999};
    CRenderKit::DrawPlainText(nullptr, &resources, rc, L"one two three four five six", 0, -1, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GT(RectHeight(rc), nLine);
    EXPECT_LE(RectWidth(rc), 120);
    RECT rcLong{0, 0, 40, 9999};
    CRenderKit::DrawPlainText(nullptr, &resources, rcLong, L"Unbreakableword", 0, -1, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(RectHeight(rcLong), nLine);
    EXPECT_GT(RectWidth(rcLong), 40);
}

TEST(TextMeasure, FitCountsWholeCharacters) {
    rendertest::UseRepositoryFonts();
    platform::FontHandle hFont = platform::CreateFontHandle(L"DejaVu Sans", 14, false, false, false);
    const int nFull = platform::MeasureTextLine(hFont, L"abcdef", 6).cx;
    int nWidth = 0;
    EXPECT_EQ(platform::FitTextLine(hFont, L"abcdef", 6, nFull, &nWidth), 6);
    EXPECT_EQ(nWidth, nFull);
    const int nThree = platform::MeasureTextLine(hFont, L"abc", 3).cx;
    EXPECT_EQ(platform::FitTextLine(hFont, L"abcdef", 6, nThree, &nWidth), 3);
    EXPECT_EQ(platform::FitTextLine(hFont, L"abcdef", 6, 0, &nWidth), 0);
    platform::DeleteFontHandle(hFont);
}

TEST(PlainText, LanguageReferencesAreExpanded) {
    CFakeResources resources;
    resources.SetLanguageString(12, L"Install now");
    RECT rcRef{0, 0, 9999, 100};
    CRenderKit::DrawPlainText(nullptr, &resources, rcRef, L"%{12}", 0, -1, DT_SINGLELINE | DT_CALCRECT);
    RECT rcText{0, 0, 9999, 100};
    CRenderKit::DrawPlainText(nullptr, &resources, rcText, L"Install now", 0, -1, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(RectWidth(rcRef), RectWidth(rcText));
}

TEST(PlainText, AlignmentPlacesTheInk) {
    CFakeResources resources;
    struct Row {
        const char* pName;
        uint32_t uStyle;
        int nExpectedLeft;  // -1: check centring instead
    } rows[] = {
        {"left", DT_SINGLELINE | DT_VCENTER, 0},
        {"right", DT_SINGLELINE | DT_VCENTER | DT_RIGHT, -2},
        {"center", DT_SINGLELINE | DT_VCENTER | DT_CENTER, -1},
    };
    for (const Row& row : rows) {
        auto pBitmap = MakeBitmap(200, 30);
        platform::CCanvas canvas(*pBitmap);
        RECT rc{0, 0, 200, 30};
        CRenderKit::DrawPlainText(&canvas, &resources, rc, L"IIII", 0xFF000000, -1, row.uStyle);
        auto [nLeft, nRight] = InkColumns(*pBitmap, RECT{0, 0, 200, 30});
        ASSERT_GE(nLeft, 0) << row.pName;
        if (row.nExpectedLeft >= 0) EXPECT_LE(nLeft, 4) << row.pName;
        else if (row.nExpectedLeft == -2) EXPECT_GE(nRight, 194) << row.pName;
        else EXPECT_NEAR((nLeft + nRight) / 2, 100, 3) << row.pName;
    }
}

TEST(PlainText, ClippedToTheRectangle) {
    CFakeResources resources;
    auto pBitmap = MakeBitmap(200, 30);
    platform::CCanvas canvas(*pBitmap);
    RECT rc{0, 0, 30, 30};
    CRenderKit::DrawPlainText(&canvas, &resources, rc, L"WWWWWWWWWWWW", 0xFF000000, -1, DT_SINGLELINE);
    auto [nLeft, nRight] = InkColumns(*pBitmap, RECT{0, 0, 200, 30});
    EXPECT_LT(nRight, 30);
    (void)nLeft;
}

TEST(PlainText, ReferenceLatinArabicEllipsisWrap) {
    CFakeResources resources;
    resources.SetFont(1, L"Segoe UI", 16, true);
    resources.SetFont(2, L"Segoe UI", 13, false, true);
    auto pBitmap = MakeBitmap(320, 200);
    platform::CCanvas canvas(*pBitmap);
    RECT rc1{10, 5, 310, 30};
    CRenderKit::DrawPlainText(&canvas, &resources, rc1, L"Norvane Vellumpod Setup", 0xFF203040, 1,
                              DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    RECT rc2{10, 35, 150, 55};
    CRenderKit::DrawPlainText(&canvas, &resources, rc2, L"Customize Installation options", 0xFF000000, -1,
                              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    RECT rc3{10, 60, 200, 130};
    CRenderKit::DrawPlainText(&canvas, &resources, rc3,
                              L"I have read and accept the licence agreement of this product.", 0xFF404040, 2,
                              DT_WORDBREAK);
    RECT rc4{10, 135, 310, 165};
    CRenderKit::DrawPlainText(&canvas, &resources, rc4, L"\x062A\x062B\x0628\x064A\x062A \x0627\x0644\x0628\x0631\x0646\x0627\x0645\x062C 2.0",
                              0xFF000000, 1, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_RTLREADING);
    RECT rc5{10, 170, 310, 195};
    CRenderKit::DrawPlainText(&canvas, &resources, rc5, L"\x0645\x0631\x062D\x0628\x0627 Vellumpod",
                              0xFF006000, -1, DT_SINGLELINE | DT_VCENTER | DT_RTLREADING);
    EXPECT_TRUE(rendertest::MatchesReference(*pBitmap, "plain_text"));
}

}  // namespace

namespace {

// The first and last rows holding ink.
std::pair<int, int> InkRows(const platform::CBitmap& bitmap) {
    int nTop = -1;
    int nBottom = -1;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            if ((bitmap.GetPixel(x, y) & 0xFF) < 0xC0) {
                if (nTop < 0) nTop = y;
                nBottom = y;
                break;
            }
        }
    }
    return {nTop, nBottom};
}

TEST(PlainText, DrawTextFlagRules) {
    CFakeResources resources;
    struct Row {
        const char* pName;
        const wchar_t* pText;
        RECT rc;
        uint32_t uStyle;
        int nMinTop, nMaxTop;        // where the first ink row may be
        int nMinRight, nMaxRight;    // where the last ink column may be
    } rows[] = {
        {"top by default", L"Ag", {0, 0, 100, 80}, DT_SINGLELINE, 0, 8, 0, 99},
        {"vcenter with single line", L"Ag", {0, 0, 100, 80}, DT_SINGLELINE | DT_VCENTER, 28, 40, 0, 99},
        {"bottom with single line", L"Ag", {0, 0, 100, 80}, DT_SINGLELINE | DT_BOTTOM, 55, 79, 0, 99},
        {"vcenter ignored on several lines", L"Ag", {0, 0, 100, 80}, DT_WORDBREAK | DT_VCENTER, 0, 8, 0, 99},
        {"clipped to the rectangle", L"WWWWWWWWWW", {0, 0, 40, 80}, DT_SINGLELINE, 0, 8, 0, 39},
        {"no clip draws beyond", L"WWWWWWWWWW", {0, 0, 40, 80}, DT_SINGLELINE | DT_NOCLIP, 0, 8, 60, 199},
        {"right to left keeps left alignment", L"\x0645\x0631\x062D\x0628\x0627", {0, 0, 200, 80},
         DT_SINGLELINE | DT_RTLREADING, 0, 8, 0, 80},
    };
    for (const Row& row : rows) {
        auto pBitmap = MakeBitmap(200, 80);
        platform::CCanvas canvas(*pBitmap);
        RECT rc = row.rc;
        CRenderKit::DrawPlainText(&canvas, &resources, rc, row.pText, 0xFF000000, -1, row.uStyle);
        auto [nTop, nBottom] = InkRows(*pBitmap);
        auto [nLeft, nRight] = InkColumns(*pBitmap, RECT{0, 0, 200, 80});
        EXPECT_GE(nTop, row.nMinTop) << row.pName;
        EXPECT_LE(nTop, row.nMaxTop) << row.pName;
        EXPECT_GE(nRight, row.nMinRight) << row.pName;
        EXPECT_LE(nRight, row.nMaxRight) << row.pName;
        (void)nBottom;
        (void)nLeft;
    }
}

}  // namespace
