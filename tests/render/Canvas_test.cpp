#include <gtest/gtest.h>

#include "tests/render/RenderTestSupport.h"

using rendertest::MakeBitmap;
using rendertest::ToHex;

namespace {

uint32_t Red(uint32_t dwPixel) { return (dwPixel >> 16) & 0xFF; }

TEST(Canvas, FillHonoursAlphaByte) {
    struct Row {
        const char* pName;
        uint32_t dwColor;
        uint32_t dwExpected;
    } rows[] = {
        {"transparent draws nothing", 0x00CCCCCC, 0xFFFFFFFF},
        {"opaque replaces", 0xFF102030, 0xFF102030},
        {"half blends", 0x80000000, 0xFF7F7F7F},
    };
    for (const Row& row : rows) {
        auto pBitmap = MakeBitmap(4, 4);
        platform::CCanvas canvas(*pBitmap);
        CRenderKit::FillColor(canvas, RECT{0, 0, 4, 4}, row.dwColor);
        const uint32_t dwPixel = pBitmap->GetPixel(1, 1);
        EXPECT_NEAR(int(Red(dwPixel)), int(Red(row.dwExpected)), 1) << row.pName << " " << ToHex(dwPixel);
        EXPECT_EQ(dwPixel >> 24, 0xFFu) << row.pName;
    }
}

TEST(Canvas, BorderColourUsesOnlyRgb) {
    auto pBitmap = MakeBitmap(10, 10);
    platform::CCanvas canvas(*pBitmap);
    CRenderKit::StrokeRect(canvas, RECT{0, 0, 10, 10}, 1, 0x00CCCCCC);
    EXPECT_EQ(pBitmap->GetPixel(0, 5), 0xFFCCCCCCu);
    EXPECT_EQ(pBitmap->GetPixel(9, 9), 0xFFCCCCCCu);
    EXPECT_EQ(pBitmap->GetPixel(5, 5), 0xFFFFFFFFu);
}

TEST(Canvas, OutlineLiesInsideTheRectangle) {
    auto pBitmap = MakeBitmap(12, 12);
    platform::CCanvas canvas(*pBitmap);
    CRenderKit::StrokeRect(canvas, RECT{2, 2, 10, 10}, 2, 0xFF000000);
    EXPECT_EQ(pBitmap->GetPixel(1, 5), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(2, 5), 0xFF000000u);
    EXPECT_EQ(pBitmap->GetPixel(3, 5), 0xFF000000u);
    EXPECT_EQ(pBitmap->GetPixel(4, 5), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(9, 5), 0xFF000000u);
    EXPECT_EQ(pBitmap->GetPixel(10, 5), 0xFFFFFFFFu);
}

TEST(Canvas, LineLeavesOutItsLastPixel) {
    auto pBitmap = MakeBitmap(10, 3);
    platform::CCanvas canvas(*pBitmap);
    CRenderKit::StrokeLine(canvas, RECT{1, 1, 8, 1}, 1, 0xFF000000);
    EXPECT_EQ(pBitmap->GetPixel(0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(1, 1), 0xFF000000u);
    EXPECT_EQ(pBitmap->GetPixel(7, 1), 0xFF000000u);
    EXPECT_EQ(pBitmap->GetPixel(8, 1), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(4, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(4, 2), 0xFFFFFFFFu);
}

TEST(Canvas, ClipToRectAndRestore) {
    auto pBitmap = MakeBitmap(10, 10);
    platform::CCanvas canvas(*pBitmap);
    platform::ClipRecord clip;
    CRenderKit::ClipToRect(canvas, RECT{2, 2, 5, 5}, clip);
    EXPECT_EQ(canvas.GetClipBox(), (RECT{2, 2, 5, 5}));
    CRenderKit::FillColor(canvas, RECT{0, 0, 10, 10}, 0xFF000000);
    CRenderKit::RestoreClip(canvas, clip);
    EXPECT_EQ(pBitmap->GetPixel(2, 2), 0xFF000000u);
    EXPECT_EQ(pBitmap->GetPixel(4, 4), 0xFF000000u);
    EXPECT_EQ(pBitmap->GetPixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(1, 1), 0xFFFFFFFFu);
    CRenderKit::FillColor(canvas, RECT{0, 0, 10, 10}, 0xFF00FF00);
    EXPECT_EQ(pBitmap->GetPixel(9, 9), 0xFF00FF00u);
}

TEST(Canvas, NestedClipStaysInsideOuterBox) {
    auto pBitmap = MakeBitmap(10, 10);
    platform::CCanvas canvas(*pBitmap);
    platform::ClipRecord outer;
    platform::ClipRecord inner;
    CRenderKit::ClipToRect(canvas, RECT{0, 0, 5, 5}, outer);
    CRenderKit::ClipToRect(canvas, RECT{3, 3, 10, 10}, inner);
    EXPECT_EQ(canvas.GetClipBox(), (RECT{3, 3, 5, 5}));
    CRenderKit::RestoreClip(canvas, inner);
    EXPECT_EQ(canvas.GetClipBox(), (RECT{0, 0, 5, 5}));
    CRenderKit::RestoreClip(canvas, outer);
    EXPECT_EQ(canvas.GetClipBox(), (RECT{0, 0, 10, 10}));
}

TEST(Canvas, RoundClipCutsCornersHard) {
    auto pBitmap = MakeBitmap(40, 30);
    platform::CCanvas canvas(*pBitmap);
    platform::ClipRecord clip;
    CRenderKit::ClipToRoundRect(canvas, RECT{0, 0, 40, 30}, RECT{0, 0, 40, 30}, 16, 16, clip);
    CRenderKit::FillColor(canvas, RECT{0, 0, 40, 30}, 0xFF000000);
    CRenderKit::RestoreClip(canvas, clip);
    EXPECT_EQ(pBitmap->GetPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(39, 29), 0xFFFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(20, 0), 0xFF000000u);
    EXPECT_EQ(pBitmap->GetPixel(39, 15), 0xFF000000u);
    EXPECT_EQ(pBitmap->GetPixel(20, 29), 0xFF000000u);
    for (int x = 0; x < 40; ++x) {
        const uint32_t dwPixel = pBitmap->GetPixel(x, 1);
        EXPECT_TRUE(dwPixel == 0xFF000000u || dwPixel == 0xFFFFFFFFu) << "anti-aliased edge at " << x;
    }
}

TEST(Canvas, GradientRunsFromFirstToSecond) {
    auto pBitmap = MakeBitmap(4, 100);
    platform::CCanvas canvas(*pBitmap);
    CRenderKit::FillGradient(canvas, RECT{0, 0, 4, 100}, 0xFF000000, 0xFFFF0000, true, 64);
    EXPECT_LE(Red(pBitmap->GetPixel(1, 0)), 4u);
    EXPECT_GE(Red(pBitmap->GetPixel(1, 99)), 251u);
    EXPECT_NEAR(int(Red(pBitmap->GetPixel(1, 50))), 128, 4);
}

TEST(Canvas, GradientAlphaIsTheAverage) {
    auto pBitmap = MakeBitmap(4, 4);
    platform::CCanvas canvas(*pBitmap);
    CRenderKit::FillGradient(canvas, RECT{0, 0, 4, 4}, 0x00000000, 0x00000000, false, 8);
    EXPECT_EQ(pBitmap->GetPixel(1, 1), 0xFFFFFFFFu);
    CRenderKit::FillGradient(canvas, RECT{0, 0, 4, 4}, 0xFF000000, 0x00000000, false, 8);
    EXPECT_NEAR(int(Red(pBitmap->GetPixel(1, 1))), 128, 2);
}

TEST(Canvas, ScalingSamplesNearestPixel) {
    auto pSource = platform::CBitmap::Create(2, 1);
    {
        platform::CCanvas canvas(*pSource);
        canvas.FillRect(RECT{0, 0, 1, 1}, 0xFFFF0000);
        canvas.FillRect(RECT{1, 0, 2, 1}, 0xFF0000FF);
    }
    auto pBitmap = MakeBitmap(8, 1);
    platform::CCanvas canvas(*pBitmap);
    canvas.DrawBitmap(*pSource, RECT{0, 0, 2, 1}, RECT{0, 0, 8, 1}, false, 255);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(pBitmap->GetPixel(x, 0), 0xFFFF0000u) << x;
    for (int x = 4; x < 8; ++x) EXPECT_EQ(pBitmap->GetPixel(x, 0), 0xFF0000FFu) << x;
}

TEST(Canvas, AlphaBlendAppliesPremultipliedOverOnce) {
    auto pSource = platform::CBitmap::Create(1, 1);
    {
        platform::CCanvas canvas(*pSource);
        canvas.FillRect(RECT{0, 0, 1, 1}, 0x80FF0000);
    }
    EXPECT_EQ(pSource->GetPixel(0, 0), 0x80800000u);
    auto pBitmap = MakeBitmap(4, 4);
    platform::CCanvas canvas(*pBitmap);
    CRenderKit::DrawBitmap(canvas, *pSource, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, RECT{0, 0, 1, 1}, RECT{}, true, 255,
                           false, false, false);
    const uint32_t dwPixel = pBitmap->GetPixel(2, 2);
    EXPECT_EQ(Red(dwPixel), 0xFFu) << ToHex(dwPixel);
    EXPECT_NEAR(int((dwPixel >> 8) & 0xFF), 127, 1) << ToHex(dwPixel);
}

TEST(Canvas, ReferenceShapes) {
    auto pBitmap = MakeBitmap(120, 80);
    platform::CCanvas canvas(*pBitmap);
    CRenderKit::FillGradient(canvas, RECT{0, 0, 120, 40}, 0xFF2B5FD9, 0xFF9CC3FF, true, 64);
    CRenderKit::FillColor(canvas, RECT{10, 10, 60, 60}, 0x80FF8000);
    CRenderKit::StrokeRoundRect(canvas, RECT{50, 30, 110, 70}, 2, 12, 12, 0xFF203040);
    CRenderKit::StrokeLine(canvas, RECT{5, 75, 115, 75}, 1, 0xFF000000, PS_DASH);
    CRenderKit::StrokeLine(canvas, RECT{5, 45, 45, 70}, 1, 0xFF008000);
    platform::ClipRecord clip;
    CRenderKit::ClipToRoundRect(canvas, RECT{0, 0, 120, 80}, RECT{70, 40, 100, 62}, 10, 10, clip);
    CRenderKit::FillColor(canvas, RECT{0, 0, 120, 80}, 0xFFD02020);
    CRenderKit::RestoreClip(canvas, clip);
    EXPECT_TRUE(rendertest::MatchesReference(*pBitmap, "canvas_shapes"));
}

}  // namespace

namespace {

TEST(CanvasEffects, GradientTextRunsFromTopColourToBottomColour) {
    rendertest::UseRepositoryFonts();
    platform::FontHandle hFont = platform::CreateFontHandle(L"DejaVu Sans", 40, true, false, false);
    auto pBitmap = MakeBitmap(120, 50);
    platform::CCanvas canvas(*pBitmap);
    canvas.DrawTextGradient(L"HH", -1, RECT{0, 0, 120, 50}, hFont, 0xFFFF0000, 0xFF0000FF, POINT{0, 5}, POINT{0, 45},
                            DT_SINGLELINE | DT_VCENTER);
    uint32_t dwTop = 0;
    uint32_t dwBottom = 0;
    for (int y = 0; y < 50 && !dwTop; ++y)
        for (int x = 0; x < 120; ++x)
            if ((pBitmap->GetPixel(x, y) & 0xFFFFFF) != 0xFFFFFF) { dwTop = pBitmap->GetPixel(x, y + 2); break; }
    for (int y = 49; y >= 0 && !dwBottom; --y)
        for (int x = 0; x < 120; ++x)
            if ((pBitmap->GetPixel(x, y) & 0xFFFFFF) != 0xFFFFFF) { dwBottom = pBitmap->GetPixel(x, y - 2); break; }
    EXPECT_GT(Red(dwTop), (dwTop & 0xFF)) << ToHex(dwTop);
    EXPECT_GT((dwBottom & 0xFF), Red(dwBottom)) << ToHex(dwBottom);
    platform::DeleteFontHandle(hFont);
}

TEST(CanvasEffects, SmoothScalingBlendsNeighboursAndClearEmpties) {
    auto pSource = platform::CBitmap::Create(2, 1);
    {
        platform::CCanvas canvas(*pSource);
        canvas.FillRect(RECT{0, 0, 1, 1}, 0xFFFF0000);
        canvas.FillRect(RECT{1, 0, 2, 1}, 0xFF0000FF);
    }
    auto pBitmap = MakeBitmap(16, 1);
    platform::CCanvas canvas(*pBitmap);
    canvas.DrawBitmapSmooth(*pSource, RECT{0, 0, 2, 1}, RECT{0, 0, 16, 1}, 255);
    EXPECT_EQ(pBitmap->GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(pBitmap->GetPixel(15, 0), 0xFF0000FFu);
    const uint32_t dwMiddle = pBitmap->GetPixel(8, 0);
    EXPECT_GT(Red(dwMiddle), 40u) << ToHex(dwMiddle);
    EXPECT_GT(dwMiddle & 0xFF, 40u) << ToHex(dwMiddle);
    canvas.Clear(RECT{0, 0, 4, 1});
    EXPECT_EQ(pBitmap->GetPixel(2, 0), 0u);
}

}  // namespace
