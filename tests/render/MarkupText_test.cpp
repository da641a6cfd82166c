#include <gtest/gtest.h>

#include <chrono>

#include "platform/TextLayout.h"
#include "tests/render/RenderTestSupport.h"

using rendertest::CFakeResources;
using rendertest::MakeBitmap;
using rendertest::ToHex;

namespace {

struct Measured {
    RECT rc;
    int nLinks = 0;
};

Measured Measure(CFakeResources& resources, const wchar_t* pText, uint32_t uStyle = DT_SINGLELINE,
                 RECT rc = RECT{0, 0, 9999, 100}) {
    Measured result;
    result.rc = rc;
    int nLinks = 0;
    CRenderKit::DrawMarkupText(nullptr, &resources, result.rc, pText, 0xFF000000, nullptr, nullptr, nLinks, -1,
                               uStyle | DT_CALCRECT);
    return result;
}

int PlainWidth(CFakeResources& resources, const wchar_t* pText) {
    return platform::MeasureTextLine(resources.GetFont(-1), pText, -1).cx;
}

// Counts pixels whose colour is near dwColor.
int CountColour(const platform::CBitmap& bitmap, uint32_t dwColor, int nTolerance = 40) {
    int nCount = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const uint32_t p = bitmap.GetPixel(x, y);
            bool bNear = true;
            for (int s = 0; s < 24; s += 8) bNear = bNear && std::abs(int((p >> s) & 0xFF) - int((dwColor >> s) & 0xFF)) <= nTolerance;
            if (bNear) ++nCount;
        }
    }
    return nCount;
}

TEST(MarkupText, LiteralBracketsDoNotHang) {
    CFakeResources resources;
    struct Row {
        const char* pName;
        const wchar_t* pText;
    } rows[] = {
        {"less than", L"a < b"},
        {"brace", L"x { y"},
        {"upper-case tag", L"<B>bold?</B>"},
        {"unterminated tag", L"<b bold"},
        {"unterminated closing", L"text</b"},
        {"lone bracket at end", L"end<"},
        {"closing bracket only", L"a > b } c"},
    };
    for (const Row& row : rows) {
        const auto start = std::chrono::steady_clock::now();
        Measured measured = Measure(resources, row.pText);
        EXPECT_GT(RectWidth(measured.rc), 0) << row.pName;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << row.pName;
    }
    EXPECT_EQ(RectWidth(Measure(resources, L"a < b").rc), PlainWidth(resources, L"a") + PlainWidth(resources, L" ") +
                                                              PlainWidth(resources, L"< b"));
}

TEST(MarkupText, BraceEscapeDrawsOneBrace) {
    CFakeResources resources;
    EXPECT_EQ(RectWidth(Measure(resources, L"a<{>b").rc),
              PlainWidth(resources, L"a") + PlainWidth(resources, L"{") + PlainWidth(resources, L"b"));
    EXPECT_EQ(RectWidth(Measure(resources, L"a{<}b").rc),
              PlainWidth(resources, L"a") + PlainWidth(resources, L"<") + PlainWidth(resources, L"b"));
}

TEST(MarkupText, UnbalancedTagsAreHarmless) {
    CFakeResources resources;
    auto pBitmap = MakeBitmap(200, 40);
    platform::CCanvas canvas(*pBitmap);
    RECT rcLinks[2];
    CUIString targets[2];
    int nLinks = 2;
    RECT rc{0, 0, 200, 40};
    CRenderKit::DrawMarkupText(&canvas, &resources, rc, L"</b></f></u></i></a></c></p></v></s><b>x</a><a y>z",
                               0xFF000000, rcLinks, targets, nLinks, -1, DT_SINGLELINE);
    EXPECT_EQ(nLinks, 1);
    EXPECT_EQ(targets[0], L"y");
}

TEST(MarkupText, UnderlinedLinkReportsOneLinkAndRestoresTheBaseFont) {
    CFakeResources resources;
    const wchar_t* pText = L"<u><a http://x/>word</a></u> after";
    auto pBitmap = MakeBitmap(220, 30);
    platform::CCanvas canvas(*pBitmap);
    RECT rcLinks[8];
    CUIString targets[8];
    int nLinks = 8;
    RECT rc{0, 0, 220, 30};
    CRenderKit::DrawMarkupText(&canvas, &resources, rc, pText, 0xFF000000, rcLinks, targets, nLinks, -1, DT_SINGLELINE);
    ASSERT_EQ(nLinks, 1);
    EXPECT_EQ(targets[0], L"http://x/");
    EXPECT_EQ(rcLinks[0].left, 0);
    EXPECT_EQ(rcLinks[0].right, PlainWidth(resources, L"word"));
    EXPECT_GT(CountColour(*pBitmap, 0xFF0000FF), 10);
    EXPECT_EQ(CountColour(*pBitmap, 0xFFD3215F), 0);
    // The same paint with the mouse over the link draws it in the hover colour.
    resources.m_ptMouse = POINT{rcLinks[0].left + 2, rcLinks[0].top + 2};
    auto pHover = MakeBitmap(220, 30);
    platform::CCanvas hoverCanvas(*pHover);
    nLinks = 8;
    RECT rc2{0, 0, 220, 30};
    CRenderKit::DrawMarkupText(&hoverCanvas, &resources, rc2, pText, 0xFF000000, rcLinks, targets, nLinks, -1,
                               DT_SINGLELINE);
    EXPECT_GT(CountColour(*pHover, 0xFFD3215F), 10);
    EXPECT_EQ(CountColour(*pHover, 0xFF0000FF, 20), 0);
}

TEST(MarkupText, ColourTagAndSaturation) {
    CFakeResources resources;
    struct Row {
        const char* pName;
        const wchar_t* pText;
        uint32_t dwExpected;
    } rows[] = {
        {"six digits", L"<c FF0000>WWWW</c>", 0xFFFF0000},
        {"with hash", L"<c #00A000>WWWW</c>", 0xFF00A000},
        {"eight digits saturate to white", L"<c FFFF0000>WWWW</c>", 0xFFFFFFFF},
    };
    for (const Row& row : rows) {
        auto pBitmap = MakeBitmap(100, 30, 0xFF808080);
        platform::CCanvas canvas(*pBitmap);
        RECT rc{0, 0, 100, 30};
        int nLinks = 0;
        CRenderKit::DrawMarkupText(&canvas, &resources, rc, row.pText, 0xFF000000, nullptr, nullptr, nLinks, -1,
                                   DT_SINGLELINE);
        EXPECT_GT(CountColour(*pBitmap, row.dwExpected, 30), 20) << row.pName;
    }
    auto pBitmap = MakeBitmap(200, 30, 0xFF808080);
    platform::CCanvas canvas(*pBitmap);
    RECT rc{0, 0, 200, 30};
    int nLinks = 0;
    CRenderKit::DrawMarkupText(&canvas, &resources, rc, L"<c FF0000>WW</c>WW", 0xFF0000FF, nullptr, nullptr, nLinks,
                               -1, DT_SINGLELINE);
    EXPECT_GT(CountColour(*pBitmap, 0xFF0000FF, 30), 20);
}

TEST(MarkupText, LinkSlotsAreBounded) {
    CFakeResources resources;
    std::wstring strText;
    for (int i = 0; i < 12; ++i) strText += L"<a t" + std::to_wstring(i) + L">L</a> ";
    RECT rcLinks[8];
    CUIString targets[8];
    int nLinks = 8;
    auto pBitmap = MakeBitmap(600, 30);
    platform::CCanvas canvas(*pBitmap);
    RECT rc{0, 0, 600, 30};
    CRenderKit::DrawMarkupText(&canvas, &resources, rc, strText.c_str(), 0xFF000000, rcLinks, targets, nLinks, -1,
                               DT_SINGLELINE);
    EXPECT_EQ(nLinks, 8);
    EXPECT_EQ(targets[7], L"t7");
}

TEST(MarkupText, LinkAcrossLinesGetsOneRectanglePerLine) {
    CFakeResources resources;
    RECT rcLinks[4];
    CUIString targets[4];
    int nLinks = 4;
    auto pBitmap = MakeBitmap(120, 80);
    platform::CCanvas canvas(*pBitmap);
    RECT rc{0, 0, 120, 80};
    CRenderKit::DrawMarkupText(&canvas, &resources, rc, L"go <a dest>here and there and further</a>", 0xFF000000,
                               rcLinks, targets, nLinks, -1, DT_WORDBREAK);
    ASSERT_GE(nLinks, 2);
    EXPECT_EQ(targets[0], L"dest");
    EXPECT_EQ(targets[1], L"dest");
    EXPECT_EQ(rcLinks[1].left, 0);
    EXPECT_GE(rcLinks[1].top, rcLinks[0].bottom);
}

TEST(MarkupText, CentredSingleLineStartsInTheMiddle) {
    CFakeResources resources;
    auto* pImage = new ImageRecord;
    pImage->pBitmap = MakeBitmap(100, 10, 0xFF000000);
    pImage->pPixels = pImage->pBitmap->Pixels();
    pImage->nWidth = 100;
    pImage->nHeight = 10;
    resources.SetImage(L"bar", pImage);
    auto pBitmap = MakeBitmap(400, 40);
    platform::CCanvas canvas(*pBitmap);
    RECT rc{20, 0, 320, 40};
    int nLinks = 0;
    CRenderKit::DrawMarkupText(&canvas, &resources, rc, L"<i bar>", 0xFF000000, nullptr, nullptr, nLinks, -1,
                               DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_EQ(pBitmap->GetPixel(119, 20) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(pBitmap->GetPixel(120, 20) & 0xFFFFFF, 0u) << ToHex(pBitmap->GetPixel(120, 20));
    EXPECT_EQ(pBitmap->GetPixel(219, 20) & 0xFFFFFF, 0u);
    EXPECT_EQ(pBitmap->GetPixel(220, 20) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(MarkupText, CalcRectCoversLinesAndImages) {
    CFakeResources resources;
    auto* pImage = new ImageRecord;
    pImage->pBitmap = MakeBitmap(30, 50, 0xFF000000);
    pImage->pPixels = pImage->pBitmap->Pixels();
    pImage->nWidth = 30;
    pImage->nHeight = 50;
    resources.SetImage(L"tall", pImage);
    Measured single = Measure(resources, L"ab<i tall>cd");
    EXPECT_EQ(RectWidth(single.rc), PlainWidth(resources, L"ab") + 30 + PlainWidth(resources, L"cd"));
    EXPECT_EQ(RectHeight(single.rc), 50);
    Measured lines = Measure(resources, L"one<n>two\nthree", 0, RECT{0, 0, 300, 1000});
    platform::TextMetrics metrics;
    platform::GetFontTextMetrics(resources.GetFont(-1), metrics);
    EXPECT_EQ(RectHeight(lines.rc), 3 * (metrics.nHeight + metrics.nExternalLeading));
    Measured empty = Measure(resources, L"", DT_SINGLELINE, RECT{0, 0, 0, 0});
    EXPECT_EQ(RectWidth(empty.rc), 0);
}

// Skins saved with Windows line ends carry a carriage return before each newline: it takes
// no room and draws nothing, as the classic fonts' non-marking return glyph does.
TEST(MarkupText, CarriageReturnTakesNoRoom) {
    CFakeResources resources;
    const Measured crlf = Measure(resources, L"ab\r\ncd\r", 0, RECT{0, 0, 300, 1000});
    const Measured lf = Measure(resources, L"ab\ncd", 0, RECT{0, 0, 300, 1000});
    EXPECT_EQ(crlf.rc, lf.rc);
    EXPECT_EQ(RectWidth(Measure(resources, L"a\rb").rc), PlainWidth(resources, L"ab"));
    auto pWith = MakeBitmap(80, 20);
    auto pWithout = MakeBitmap(80, 20);
    for (auto* pBitmap : {pWith.get(), pWithout.get()}) {
        platform::CCanvas canvas(*pBitmap);
        RECT rc{0, 0, 80, 20};
        int nLinks = 0;
        CRenderKit::DrawMarkupText(&canvas, &resources, rc, pBitmap == pWith.get() ? L"a\rb" : L"ab", 0xFF000000,
                                   nullptr, nullptr, nLinks, -1, DT_SINGLELINE);
    }
    EXPECT_EQ(CountColour(*pWith, 0xFF000000), CountColour(*pWithout, 0xFF000000));
}

TEST(MarkupText, WordBreakMovesWholeWords) {
    CFakeResources resources;
    const int nWidth = PlainWidth(resources, L"alpha beta") + 2;
    Measured measured = Measure(resources, L"alpha beta alpha beta", DT_WORDBREAK, RECT{0, 0, nWidth, 1000});
    platform::TextMetrics metrics;
    platform::GetFontTextMetrics(resources.GetFont(-1), metrics);
    EXPECT_EQ(RectHeight(measured.rc), 2 * (metrics.nHeight + metrics.nExternalLeading));
}

TEST(MarkupText, ReferenceFormattedText) {
    CFakeResources resources;
    resources.SetFont(3, L"DejaVu Sans", 18, true);
    auto* pImage = new ImageRecord;
    pImage->pBitmap = MakeBitmap(32, 16, 0xFF2E8B57);
    {
        platform::CCanvas canvas(*pImage->pBitmap);
        canvas.FillRect(RECT{16, 0, 32, 16}, 0xFFE08000);
    }
    pImage->pPixels = pImage->pBitmap->Pixels();
    pImage->nWidth = 32;
    pImage->nHeight = 16;
    resources.SetImage(L"icons", pImage);
    auto pBitmap = MakeBitmap(320, 150);
    platform::CCanvas canvas(*pBitmap);
    RECT rc1{10, 5, 310, 30};
    int nLinks = 0;
    CRenderKit::DrawMarkupText(&canvas, &resources, rc1,
                               L"I accept the <u><a https://www.norvane.com/licence>licence agreement</a></u>.",
                               0xFF333333, nullptr, nullptr, nLinks, -1, DT_SINGLELINE | DT_VCENTER);
    RECT rc2{10, 35, 310, 60};
    CRenderKit::DrawMarkupText(&canvas, &resources, rc2, L"<b>Bold</b> <i>italic</i> <c #C00000>red</c> <f 3>big</f> <i icons 2 1> done",
                               0xFF000000, nullptr, nullptr, nLinks, -1, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    RECT rc3{10, 65, 200, 145};
    CRenderKit::DrawMarkupText(&canvas, &resources, rc3,
                               L"A longer paragraph with <s>selected</s> words that wraps over lines {x 10}and an "
                               L"end ellipsis when it runs out of room at the bottom of the box",
                               0xFF202020, nullptr, nullptr, nLinks, -1, DT_WORDBREAK | DT_END_ELLIPSIS);
    RECT rc4{205, 65, 315, 145};
    CRenderKit::DrawMarkupText(&canvas, &resources, rc4, L"\x0645\x0631\x062D\x0628\x0627 <b>\x0628\x0643</b>",
                               0xFF000080, nullptr, nullptr, nLinks, -1, DT_WORDBREAK | DT_RIGHT | DT_RTLREADING);
    EXPECT_TRUE(rendertest::MatchesReference(*pBitmap, "markup_text"));
}

}  // namespace
