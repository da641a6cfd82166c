#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>

#include "platform/GraphicsInternal.h"

namespace platform {

struct CBitmap::CImpl {
    cairo_surface_t* pSurface = nullptr;
    ~CImpl() {
        if (pSurface) cairo_surface_destroy(pSurface);
    }
};

struct CCanvas::CImpl {
    cairo_t* pCairo = nullptr;
    ~CImpl() {
        if (pCairo) cairo_destroy(pCairo);
    }
};

namespace {

constexpr int kMaxBitmapSide = 32767;

void SetSourceRgb(cairo_t* pCairo, uint32_t dwColor) {
    cairo_set_source_rgb(pCairo, ColorRed(dwColor) / 255.0, ColorGreen(dwColor) / 255.0,
                         ColorBlue(dwColor) / 255.0);
}

void AddRectPath(cairo_t* pCairo, const RECT& rc) {
    cairo_rectangle(pCairo, rc.left, rc.top, RectWidth(rc), RectHeight(rc));
}

// Shows planned text clipped to rc (unless DT_NOCLIP), with the source that setSource sets.
template <typename SetSource>
void ShowPlannedText(cairo_t* pCairo, const graphics::TextPlan& plan, const RECT& rc, uint32_t dwFlags,
                     SetSource setSource) {
    cairo_save(pCairo);
    if (!(dwFlags & DT_NOCLIP)) {
        AddRectPath(pCairo, rc);
        cairo_clip(pCairo);
    }
    setSource();
    cairo_move_to(pCairo, plan.x, plan.y);
    pango_cairo_show_layout(pCairo, plan.pLayout);
    cairo_restore(pCairo);
}

// A rectangle with elliptic corners of the given diameters.
void AddRoundRectPath(cairo_t* pCairo, double dLeft, double dTop, double dRight, double dBottom,
                      double dEllipseWidth, double dEllipseHeight) {
    double dRx = std::min(dEllipseWidth / 2, (dRight - dLeft) / 2);
    double dRy = std::min(dEllipseHeight / 2, (dBottom - dTop) / 2);
    if (dRx <= 0 || dRy <= 0) {
        cairo_rectangle(pCairo, dLeft, dTop, dRight - dLeft, dBottom - dTop);
        return;
    }
    auto corner = [&](double dCx, double dCy, double dFrom, double dTo) {
        cairo_save(pCairo);
        cairo_translate(pCairo, dCx, dCy);
        cairo_scale(pCairo, dRx, dRy);
        cairo_arc(pCairo, 0, 0, 1, dFrom, dTo);
        cairo_restore(pCairo);
    };
    cairo_new_sub_path(pCairo);
    corner(dRight - dRx, dTop + dRy, -M_PI / 2, 0);
    corner(dRight - dRx, dBottom - dRy, 0, M_PI / 2);
    corner(dLeft + dRx, dBottom - dRy, M_PI / 2, M_PI);
    corner(dLeft + dRx, dTop + dRy, M_PI, 3 * M_PI / 2);
    cairo_close_path(pCairo);
}

// Dash lengths of the styled one-pixel pens.
void SetPenDash(cairo_t* pCairo, int nPenStyle, int nWidth) {
    static const double kDash[] = {18, 6};
    static const double kDot[] = {3, 3};
    static const double kDashDot[] = {9, 6, 3, 6};
    static const double kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    if (nWidth > 1) {
        cairo_set_dash(pCairo, nullptr, 0, 0);
        return;
    }
    switch (nPenStyle) {
    case PS_DASH: cairo_set_dash(pCairo, kDash, 2, 0); break;
    case PS_DOT: cairo_set_dash(pCairo, kDot, 2, 0); break;
    case PS_DASHDOT: cairo_set_dash(pCairo, kDashDot, 4, 0); break;
    case PS_DASHDOTDOT: cairo_set_dash(pCairo, kDashDotDot, 6, 0); break;
    default: cairo_set_dash(pCairo, nullptr, 0, 0); break;
    }
}

int BaseStyle(int nPenStyle) { return nPenStyle & 0xF; }

}  // namespace

CBitmap::CBitmap(std::unique_ptr<CImpl> pImpl) : m_pImpl(std::move(pImpl)) {}
CBitmap::~CBitmap() = default;

std::unique_ptr<CBitmap> CBitmap::Create(int nWidth, int nHeight) {
    if (nWidth < 1 || nHeight < 1 || nWidth > kMaxBitmapSide || nHeight > kMaxBitmapSide) return nullptr;
    auto pImpl = std::make_unique<CImpl>();
    pImpl->pSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, nWidth, nHeight);
    if (cairo_surface_status(pImpl->pSurface) != CAIRO_STATUS_SUCCESS) return nullptr;
    return std::unique_ptr<CBitmap>(new CBitmap(std::move(pImpl)));
}

std::unique_ptr<CBitmap> CBitmap::LoadPng(const std::string& strPath) {
    cairo_surface_t* pLoaded = cairo_image_surface_create_from_png(strPath.c_str());
    if (cairo_surface_status(pLoaded) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(pLoaded);
        return nullptr;
    }
    auto pBitmap = Create(cairo_image_surface_get_width(pLoaded), cairo_image_surface_get_height(pLoaded));
    if (pBitmap) {
        cairo_t* pCairo = cairo_create(pBitmap->m_pImpl->pSurface);
        cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(pCairo, pLoaded, 0, 0);
        cairo_paint(pCairo);
        cairo_destroy(pCairo);
    }
    cairo_surface_destroy(pLoaded);
    return pBitmap;
}

int CBitmap::Width() const { return cairo_image_surface_get_width(m_pImpl->pSurface); }
int CBitmap::Height() const { return cairo_image_surface_get_height(m_pImpl->pSurface); }
int CBitmap::StridePixels() const { return cairo_image_surface_get_stride(m_pImpl->pSurface) / 4; }

uint32_t* CBitmap::Pixels() {
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_pImpl->pSurface));
}

const uint32_t* CBitmap::Pixels() const {
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(m_pImpl->pSurface));
}

void CBitmap::BeginPixelAccess() { cairo_surface_flush(m_pImpl->pSurface); }
void CBitmap::EndPixelAccess() { cairo_surface_mark_dirty(m_pImpl->pSurface); }

uint32_t CBitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    cairo_surface_flush(m_pImpl->pSurface);
    return Pixels()[static_cast<size_t>(y) * StridePixels() + x];
}

bool CBitmap::SavePng(const std::string& strPath) const {
    return cairo_surface_write_to_png(m_pImpl->pSurface, strPath.c_str()) == CAIRO_STATUS_SUCCESS;
}

CCanvas::CCanvas(CBitmap& target) : m_target(target), m_pImpl(std::make_unique<CImpl>()) {
    m_pImpl->pCairo = cairo_create(target.Impl()->pSurface);
}

CCanvas::~CCanvas() { cairo_surface_flush(cairo_get_target(m_pImpl->pCairo)); }

RECT CCanvas::GetClipBox() const {
    RECT rc{0, 0, m_target.Width(), m_target.Height()};
    for (const ClipShape& shape : m_clip) IntersectRect(rc, rc, shape.rc);
    return rc;
}

void CCanvas::SaveClip(ClipRecord& record) const {
    record.bSaved = true;
    record.shapes = m_clip;
}

void CCanvas::RestoreClip(ClipRecord& record) {
    if (!record.bSaved) return;
    m_clip = std::move(record.shapes);
    record.shapes.clear();
    record.bSaved = false;
    ApplyClip();
}

void CCanvas::IntersectClipRect(const RECT& rc) {
    m_clip.push_back(ClipShape{rc, 0, 0});
    ApplyClip();
}

void CCanvas::IntersectClipRoundRect(const RECT& rc, int nEllipseWidth, int nEllipseHeight) {
    m_clip.push_back(ClipShape{rc, nEllipseWidth, nEllipseHeight});
    ApplyClip();
}

void CCanvas::ResetClip() {
    m_clip.clear();
    ApplyClip();
}

void CCanvas::ApplyClip() {
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_reset_clip(pCairo);
    cairo_set_antialias(pCairo, CAIRO_ANTIALIAS_NONE);
    for (const ClipShape& shape : m_clip) {
        cairo_new_path(pCairo);
        if (shape.nEllipseWidth > 0 && shape.nEllipseHeight > 0) {
            AddRoundRectPath(pCairo, shape.rc.left, shape.rc.top, shape.rc.right, shape.rc.bottom,
                             shape.nEllipseWidth, shape.nEllipseHeight);
        } else {
            AddRectPath(pCairo, IsRectEmpty(shape.rc) ? RECT{} : shape.rc);
        }
        cairo_clip(pCairo);
    }
    cairo_set_antialias(pCairo, CAIRO_ANTIALIAS_DEFAULT);
}

void CCanvas::FillRect(const RECT& rc, uint32_t dwColor) {
    const uint32_t nAlpha = ColorAlpha(dwColor);
    if (nAlpha == 0 || IsRectEmpty(rc)) return;
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_save(pCairo);
    if (nAlpha == 0xFF) {
        cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
        SetSourceRgb(pCairo, dwColor);
    } else {
        cairo_set_source_rgba(pCairo, ColorRed(dwColor) / 255.0, ColorGreen(dwColor) / 255.0,
                              ColorBlue(dwColor) / 255.0, nAlpha / 255.0);
    }
    AddRectPath(pCairo, rc);
    cairo_fill(pCairo);
    cairo_restore(pCairo);
}

void CCanvas::DrawBitmap(const CBitmap& source, const RECT& rcSource, const RECT& rcDest, bool bBlend,
                         uint8_t nAlpha) {
    if (IsRectEmpty(rcSource) || IsRectEmpty(rcDest) || (bBlend && nAlpha == 0)) return;
    RECT rcBounds{0, 0, source.Width(), source.Height()};
    RECT rcPart;
    if (!IntersectRect(rcPart, rcSource, rcBounds) || !(rcPart == rcSource)) return;
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_save(pCairo);
    AddRectPath(pCairo, rcDest);
    cairo_clip(pCairo);
    cairo_pattern_t* pPattern = cairo_pattern_create_for_surface(source.Impl()->pSurface);
    const double dScaleX = static_cast<double>(RectWidth(rcSource)) / RectWidth(rcDest);
    const double dScaleY = static_cast<double>(RectHeight(rcSource)) / RectHeight(rcDest);
    cairo_matrix_t matrix;
    cairo_matrix_init_translate(&matrix, rcSource.left, rcSource.top);
    cairo_matrix_scale(&matrix, dScaleX, dScaleY);
    cairo_matrix_translate(&matrix, -rcDest.left, -rcDest.top);
    cairo_pattern_set_matrix(pPattern, &matrix);
    // Nearest sampling of pixel centres stays inside rcSource, so parts never bleed into
    // their neighbours; padding covers the rounding at the far edges.
    cairo_pattern_set_filter(pPattern, CAIRO_FILTER_NEAREST);
    cairo_pattern_set_extend(pPattern, CAIRO_EXTEND_PAD);
    cairo_set_source(pCairo, pPattern);
    if (bBlend) {
        if (nAlpha == 0xFF) cairo_paint(pCairo);
        else cairo_paint_with_alpha(pCairo, nAlpha / 255.0);
    } else {
        cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
        cairo_paint(pCairo);
    }
    cairo_pattern_destroy(pPattern);
    cairo_restore(pCairo);
}

void CCanvas::FillGradient(const RECT& rc, uint32_t dwFirst, uint32_t dwSecond, bool bVertical, uint8_t nAlpha) {
    if (IsRectEmpty(rc) || nAlpha == 0) return;
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_pattern_t* pPattern = bVertical ? cairo_pattern_create_linear(0, rc.top, 0, rc.bottom)
                                          : cairo_pattern_create_linear(rc.left, 0, rc.right, 0);
    cairo_pattern_add_color_stop_rgb(pPattern, 0, ColorRed(dwFirst) / 255.0, ColorGreen(dwFirst) / 255.0,
                                     ColorBlue(dwFirst) / 255.0);
    cairo_pattern_add_color_stop_rgb(pPattern, 1, ColorRed(dwSecond) / 255.0, ColorGreen(dwSecond) / 255.0,
                                     ColorBlue(dwSecond) / 255.0);
    cairo_save(pCairo);
    AddRectPath(pCairo, rc);
    cairo_clip(pCairo);
    cairo_set_source(pCairo, pPattern);
    if (nAlpha == 0xFF) {
        cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
        cairo_paint(pCairo);
    } else {
        cairo_paint_with_alpha(pCairo, nAlpha / 255.0);
    }
    cairo_restore(pCairo);
    cairo_pattern_destroy(pPattern);
}

void CCanvas::DrawLine(POINT ptFrom, POINT ptTo, int nWidth, uint32_t dwColor, int nPenStyle) {
    const int nStyle = BaseStyle(nPenStyle);
    if (nStyle == PS_NULL) return;
    nWidth = std::max(1, nWidth);
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_save(pCairo);
    SetSourceRgb(pCairo, dwColor);
    if ((nStyle == PS_SOLID || nStyle == PS_INSIDEFRAME || nWidth > 1) &&
        (ptFrom.y == ptTo.y || ptFrom.x == ptTo.x)) {
        // Straight solid lines as fills: the far end pixel is left out, as the pens do.
        const int nHalf = nWidth / 2;
        RECT rc;
        if (ptFrom.y == ptTo.y) {
            rc = {std::min(ptFrom.x, ptTo.x), ptFrom.y - nHalf, std::max(ptFrom.x, ptTo.x), ptFrom.y - nHalf + nWidth};
            if (ptTo.x < ptFrom.x) { rc.left += 1; rc.right += 1; }
        } else {
            rc = {ptFrom.x - nHalf, std::min(ptFrom.y, ptTo.y), ptFrom.x - nHalf + nWidth, std::max(ptFrom.y, ptTo.y)};
            if (ptTo.y < ptFrom.y) { rc.top += 1; rc.bottom += 1; }
        }
        AddRectPath(pCairo, rc);
        cairo_fill(pCairo);
    } else {
        cairo_set_antialias(pCairo, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_width(pCairo, nWidth);
        cairo_set_line_cap(pCairo, CAIRO_LINE_CAP_BUTT);
        SetPenDash(pCairo, nStyle, nWidth);
        cairo_move_to(pCairo, ptFrom.x + 0.5, ptFrom.y + 0.5);
        cairo_line_to(pCairo, ptTo.x + 0.5, ptTo.y + 0.5);
        cairo_stroke(pCairo);
    }
    cairo_restore(pCairo);
}

void CCanvas::StrokeRect(const RECT& rc, int nWidth, uint32_t dwColor, int nPenStyle) {
    const int nStyle = BaseStyle(nPenStyle);
    if (nStyle == PS_NULL || IsRectEmpty(rc)) return;
    nWidth = std::max(1, nWidth);
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_save(pCairo);
    SetSourceRgb(pCairo, dwColor);
    if (nStyle == PS_SOLID || nStyle == PS_INSIDEFRAME || nWidth > 1) {
        const int w = std::min({nWidth, (RectWidth(rc) + 1) / 2, (RectHeight(rc) + 1) / 2});
        cairo_set_fill_rule(pCairo, CAIRO_FILL_RULE_EVEN_ODD);
        AddRectPath(pCairo, rc);
        RECT rcInner{rc.left + w, rc.top + w, rc.right - w, rc.bottom - w};
        if (!IsRectEmpty(rcInner)) AddRectPath(pCairo, rcInner);
        cairo_fill(pCairo);
    } else {
        cairo_set_antialias(pCairo, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_width(pCairo, 1);
        SetPenDash(pCairo, nStyle, 1);
        cairo_rectangle(pCairo, rc.left + 0.5, rc.top + 0.5, RectWidth(rc) - 1, RectHeight(rc) - 1);
        cairo_stroke(pCairo);
    }
    cairo_restore(pCairo);
}

void CCanvas::StrokeRoundRect(const RECT& rc, int nWidth, int nEllipseWidth, int nEllipseHeight, uint32_t dwColor,
                              int nPenStyle) {
    const int nStyle = BaseStyle(nPenStyle);
    if (nStyle == PS_NULL || IsRectEmpty(rc)) return;
    nWidth = std::max(1, nWidth);
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_save(pCairo);
    SetSourceRgb(pCairo, dwColor);
    cairo_set_antialias(pCairo, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(pCairo, nWidth);
    SetPenDash(pCairo, nStyle, nWidth);
    const double dInset = nWidth / 2.0;
    AddRoundRectPath(pCairo, rc.left + dInset, rc.top + dInset, rc.right - dInset, rc.bottom - dInset,
                     std::max(0.0, nEllipseWidth - dInset), std::max(0.0, nEllipseHeight - dInset));
    cairo_stroke(pCairo);
    cairo_restore(pCairo);
}

int CCanvas::DrawText(const wchar_t* pText, int nLength, RECT& rc, FontHandle hFont, uint32_t dwColor,
                      uint32_t dwFlags) {
    graphics::TextPlan plan;
    graphics::PlanDrawText(hFont, pText, nLength, rc, dwFlags, plan);
    if (dwFlags & DT_CALCRECT) {
        rc.right = rc.left + plan.nWidth;
        rc.bottom = rc.top + plan.nHeight;
        return plan.nHeight;
    }
    cairo_t* pCairo = m_pImpl->pCairo;
    ShowPlannedText(pCairo, plan, rc, dwFlags, [&] { SetSourceRgb(pCairo, dwColor); });
    return plan.nHeight;
}

void CCanvas::DrawTextGradient(const wchar_t* pText, int nLength, const RECT& rc, FontHandle hFont, uint32_t dwFrom,
                               uint32_t dwTo, POINT ptFrom, POINT ptTo, uint32_t dwFlags) {
    graphics::TextPlan plan;
    graphics::PlanDrawText(hFont, pText, nLength, rc, dwFlags, plan);
    cairo_pattern_t* pPattern = cairo_pattern_create_linear(ptFrom.x, ptFrom.y, ptTo.x, ptTo.y);
    cairo_pattern_add_color_stop_rgba(pPattern, 0, ColorRed(dwFrom) / 255.0, ColorGreen(dwFrom) / 255.0,
                                      ColorBlue(dwFrom) / 255.0, ColorAlpha(dwFrom) / 255.0);
    cairo_pattern_add_color_stop_rgba(pPattern, 1, ColorRed(dwTo) / 255.0, ColorGreen(dwTo) / 255.0,
                                      ColorBlue(dwTo) / 255.0, ColorAlpha(dwTo) / 255.0);
    // Outside the two points the brush repeats its end colours.
    cairo_pattern_set_extend(pPattern, CAIRO_EXTEND_PAD);
    cairo_t* pCairo = m_pImpl->pCairo;
    ShowPlannedText(pCairo, plan, rc, dwFlags, [&] { cairo_set_source(pCairo, pPattern); });
    cairo_pattern_destroy(pPattern);
}

void CCanvas::DrawBitmapSmooth(const CBitmap& source, const RECT& rcSource, const RECT& rcDest, uint8_t nAlpha) {
    if (IsRectEmpty(rcSource) || IsRectEmpty(rcDest) || nAlpha == 0) return;
    RECT rcPart;
    if (!IntersectRect(rcPart, rcSource, RECT{0, 0, source.Width(), source.Height()}) || !(rcPart == rcSource)) return;
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_save(pCairo);
    AddRectPath(pCairo, rcDest);
    cairo_clip(pCairo);
    cairo_surface_t* pPart = cairo_surface_create_for_rectangle(source.Impl()->pSurface, rcSource.left, rcSource.top,
                                                                RectWidth(rcSource), RectHeight(rcSource));
    cairo_pattern_t* pPattern = cairo_pattern_create_for_surface(pPart);
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, static_cast<double>(RectWidth(rcSource)) / RectWidth(rcDest),
                            static_cast<double>(RectHeight(rcSource)) / RectHeight(rcDest));
    cairo_matrix_translate(&matrix, -rcDest.left, -rcDest.top);
    cairo_pattern_set_matrix(pPattern, &matrix);
    cairo_pattern_set_filter(pPattern, CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(pPattern, CAIRO_EXTEND_PAD);
    cairo_set_source(pCairo, pPattern);
    cairo_paint_with_alpha(pCairo, nAlpha / 255.0);
    cairo_pattern_destroy(pPattern);
    cairo_surface_destroy(pPart);
    cairo_restore(pCairo);
}

void CCanvas::Clear(const RECT& rc) {
    if (IsRectEmpty(rc)) return;
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_save(pCairo);
    cairo_set_operator(pCairo, CAIRO_OPERATOR_CLEAR);
    AddRectPath(pCairo, rc);
    cairo_fill(pCairo);
    cairo_restore(pCairo);
}

void CCanvas::TextOut(int x, int y, const wchar_t* pText, int nLength, FontHandle hFont, uint32_t dwColor,
                      bool bOpaque, uint32_t dwBackColor, bool bRtlReading) {
    graphics::Utf8Text text = graphics::ToUtf8WithOffsets(pText, nLength);
    PangoLayout* pLayout = graphics::CreateLayout(hFont, text.strBytes, bRtlReading);
    pango_layout_set_single_paragraph_mode(pLayout, TRUE);
    cairo_t* pCairo = m_pImpl->pCairo;
    cairo_save(pCairo);
    if (bOpaque) {
        PangoRectangle logical;
        pango_layout_get_pixel_extents(pLayout, nullptr, &logical);
        cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
        SetSourceRgb(pCairo, dwBackColor);
        cairo_rectangle(pCairo, x + logical.x, y + logical.y, logical.width, logical.height);
        cairo_fill(pCairo);
        cairo_set_operator(pCairo, CAIRO_OPERATOR_OVER);
    }
    SetSourceRgb(pCairo, dwColor);
    cairo_move_to(pCairo, x, y);
    pango_cairo_show_layout(pCairo, pLayout);
    cairo_restore(pCairo);
    g_object_unref(pLayout);
}

}  // namespace platform
