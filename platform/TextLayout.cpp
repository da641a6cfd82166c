#include "platform/TextLayout.h"

#include <algorithm>
#include <cwchar>

#include "platform/GraphicsInternal.h"
#include "platform/Text.h"

namespace platform {
namespace graphics {

namespace {

PangoContext* CreateContext(PangoDirection direction) {
    PangoContext* pContext = pango_font_map_create_context(pango_cairo_font_map_get_default());
    cairo_font_options_t* pOptions = cairo_font_options_create();
    cairo_font_options_set_antialias(pOptions, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(pOptions, CAIRO_HINT_STYLE_SLIGHT);
    // Whole-pixel advances, so that measured widths add up exactly.
    cairo_font_options_set_hint_metrics(pOptions, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(pContext, pOptions);
    cairo_font_options_destroy(pOptions);
    pango_context_set_base_dir(pContext, direction);
    return pContext;
}

}  // namespace

PangoContext* SharedContext(bool bRtl) {
    // Pango's default font map is per thread; so are these contexts. One per direction, since
    // changing a context's direction would lay out again every layout made with it.
    thread_local PangoContext* s_pLeftToRight = CreateContext(PANGO_DIRECTION_LTR);
    thread_local PangoContext* s_pRightToLeft = CreateContext(PANGO_DIRECTION_RTL);
    return bRtl ? s_pRightToLeft : s_pLeftToRight;
}

Utf8Text ToUtf8WithOffsets(const wchar_t* pText, int nLength) {
    Utf8Text text;
    if (!pText) {
        text.charOffsets.push_back(0);
        return text;
    }
    if (nLength < 0) nLength = static_cast<int>(std::wcslen(pText));
    text.charOffsets.reserve(static_cast<size_t>(nLength) + 1);
    for (int i = 0; i < nLength && pText[i] != 0; ++i) {
        text.charOffsets.push_back(static_cast<int>(text.strBytes.size()));
        text.strBytes += WideToUtf8(std::wstring_view(pText + i, 1));
    }
    text.charOffsets.push_back(static_cast<int>(text.strBytes.size()));
    return text;
}

PangoLayout* CreateLayout(FontHandle hFont, const std::string& strUtf8, bool bRtl) {
    // The base direction is ours to set: the controls' alignment flags must not be mirrored
    // by the text's first strong character.
    PangoLayout* pLayout = pango_layout_new(SharedContext(bRtl));
    pango_layout_set_auto_dir(pLayout, FALSE);
    if (hFont) {
        pango_layout_set_font_description(pLayout, hFont->Description());
        pango_layout_set_attributes(pLayout, hFont->Attributes());
    }
    pango_layout_set_text(pLayout, strUtf8.data(), static_cast<int>(strUtf8.size()));
    return pLayout;
}

TextPlan::~TextPlan() {
    if (pLayout) g_object_unref(pLayout);
}

void PlanDrawText(FontHandle hFont, const wchar_t* pText, int nLength, const RECT& rc, uint32_t dwFlags,
                  TextPlan& plan) {
    Utf8Text text = ToUtf8WithOffsets(pText, nLength);
    const bool bSingleLine = (dwFlags & DT_SINGLELINE) != 0;
    if (bSingleLine) std::replace_if(text.strBytes.begin(), text.strBytes.end(),
                                     [](char c) { return c == '\n' || c == '\r'; }, ' ');
    PangoLayout* pLayout = CreateLayout(hFont, text.strBytes, (dwFlags & DT_RTLREADING) != 0);
    plan.pLayout = pLayout;
    const int nRectWidth = std::max(0, RectWidth(rc));
    const bool bWrap = !bSingleLine && (dwFlags & DT_WORDBREAK);
    const bool bEllipsis = (dwFlags & DT_END_ELLIPSIS) != 0;
    if (bSingleLine) pango_layout_set_single_paragraph_mode(pLayout, TRUE);
    if (bWrap || bEllipsis) {
        pango_layout_set_width(pLayout, nRectWidth * PANGO_SCALE);
        // Whole words only: a word longer than the line overflows, as DT_WORDBREAK does.
        pango_layout_set_wrap(pLayout, PANGO_WRAP_WORD);
    }
    if (bEllipsis) {
        pango_layout_set_ellipsize(pLayout, PANGO_ELLIPSIZE_END);
        if (bWrap) pango_layout_set_height(pLayout, std::max(1, RectHeight(rc)) * PANGO_SCALE);
    }
    PangoAlignment alignment = PANGO_ALIGN_LEFT;
    if (dwFlags & DT_CENTER) alignment = PANGO_ALIGN_CENTER;
    else if (dwFlags & DT_RIGHT) alignment = PANGO_ALIGN_RIGHT;
    pango_layout_set_alignment(pLayout, alignment);

    PangoRectangle logical;
    pango_layout_get_pixel_extents(pLayout, nullptr, &logical);
    plan.nWidth = logical.width;
    plan.nHeight = logical.height;
    if (pango_layout_get_width(pLayout) >= 0) {
        plan.x = rc.left;
    } else if (alignment == PANGO_ALIGN_CENTER) {
        plan.x = rc.left + (nRectWidth - logical.width) / 2;
    } else if (alignment == PANGO_ALIGN_RIGHT) {
        plan.x = rc.right - logical.width;
    } else {
        plan.x = rc.left;
    }
    plan.x -= (pango_layout_get_width(pLayout) >= 0) ? 0 : logical.x;
    plan.y = rc.top;
    if (bSingleLine) {
        if (dwFlags & DT_VCENTER) plan.y = rc.top + (RectHeight(rc) - logical.height) / 2;
        else if (dwFlags & DT_BOTTOM) plan.y = rc.bottom - logical.height;
    }
}

}  // namespace graphics

SIZE MeasureTextLine(FontHandle hFont, const wchar_t* pText, int nLength) {
    graphics::Utf8Text text = graphics::ToUtf8WithOffsets(pText, nLength);
    SIZE size;
    PangoLayout* pLayout = graphics::CreateLayout(hFont, text.strBytes, false);
    pango_layout_set_single_paragraph_mode(pLayout, TRUE);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(pLayout, nullptr, &logical);
    size.cx = logical.width;
    size.cy = logical.height;
    g_object_unref(pLayout);
    return size;
}

int FitTextLine(FontHandle hFont, const wchar_t* pText, int nLength, int nMaxWidth, int* pnWidth) {
    graphics::Utf8Text text = graphics::ToUtf8WithOffsets(pText, nLength);
    const int nChars = static_cast<int>(text.charOffsets.size()) - 1;
    auto widthOf = [&](int nCount) {
        if (nCount <= 0) return 0;
        std::string strPrefix = text.strBytes.substr(0, static_cast<size_t>(text.charOffsets[nCount]));
        PangoLayout* pLayout = graphics::CreateLayout(hFont, strPrefix, false);
        pango_layout_set_single_paragraph_mode(pLayout, TRUE);
        PangoRectangle logical;
        pango_layout_get_pixel_extents(pLayout, nullptr, &logical);
        g_object_unref(pLayout);
        return logical.width;
    };
    int nFullWidth = widthOf(nChars);
    if (nFullWidth <= nMaxWidth) {
        if (pnWidth) *pnWidth = nFullWidth;
        return nChars;
    }
    // Cut only where a cursor may stand, so combining marks stay with their base.
    std::vector<bool> cursorAt(static_cast<size_t>(nChars) + 1, true);
    {
        PangoLayout* pLayout = graphics::CreateLayout(hFont, text.strBytes, false);
        int nAttrs = 0;
        const PangoLogAttr* pAttrs = pango_layout_get_log_attrs_readonly(pLayout, &nAttrs);
        for (int i = 0; i <= nChars && i < nAttrs; ++i) cursorAt[static_cast<size_t>(i)] = pAttrs[i].is_cursor_position;
        g_object_unref(pLayout);
    }
    int nLow = 0;
    int nHigh = nChars - 1;
    int nBest = 0;
    int nBestWidth = 0;
    while (nLow <= nHigh) {
        int nMid = (nLow + nHigh) / 2;
        int nCut = nMid;
        while (nCut > 0 && !cursorAt[static_cast<size_t>(nCut)]) --nCut;
        int nWidth = widthOf(nCut);
        if (nWidth <= nMaxWidth) {
            if (nCut >= nBest) {
                nBest = nCut;
                nBestWidth = nWidth;
            }
            nLow = nMid + 1;
        } else {
            nHigh = nMid - 1;
        }
    }
    if (pnWidth) *pnWidth = nBestWidth;
    return nBest;
}

int CalcTextRect(FontHandle hFont, const wchar_t* pText, int nLength, RECT& rc, uint32_t dwFlags) {
    graphics::TextPlan plan;
    graphics::PlanDrawText(hFont, pText, nLength, rc, dwFlags, plan);
    rc.right = rc.left + plan.nWidth;
    rc.bottom = rc.top + plan.nHeight;
    return plan.nHeight;
}

}  // namespace platform
