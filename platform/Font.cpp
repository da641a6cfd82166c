#include <algorithm>

#include "platform/GraphicsInternal.h"
#include "platform/Text.h"

namespace platform {
namespace {

// The stock interface font: faces the skins name are found or replaced through fontconfig.
constexpr const wchar_t* kStockFace = L"Segoe UI";
constexpr int kStockSizePx = 12;

int PangoToPixelsCeil(int nValue) { return (nValue + PANGO_SCALE - 1) / PANGO_SCALE; }

int MeasureAdvance(PangoLayout* pLayout, const char* pText) {
    pango_layout_set_text(pLayout, pText, -1);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(pLayout, nullptr, &logical);
    return logical.width;
}

}  // namespace

CFont::CFont(PangoFontDescription* pDesc, const StockFontDesc& desc)
    : m_pDesc(pDesc), m_pAttrs(pango_attr_list_new()), m_desc(desc) {
    if (desc.bUnderline) pango_attr_list_insert(m_pAttrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
}

CFont::~CFont() {
    pango_attr_list_unref(m_pAttrs);
    pango_font_description_free(m_pDesc);
}

const TextMetrics& CFont::Metrics() {
    if (m_bMeasured) return m_metrics;
    m_bMeasured = true;
    PangoContext* pContext = graphics::SharedContext();
    PangoFontMetrics* pMetrics = pango_context_get_metrics(pContext, m_pDesc, nullptr);
    PangoLayout* pLayout = pango_layout_new(pContext);
    pango_layout_set_font_description(pLayout, m_pDesc);
    pango_layout_set_text(pLayout, "Ag", -1);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(pLayout, nullptr, &logical);
    m_metrics.nHeight = logical.height;
    m_metrics.nAscent = PANGO_PIXELS(pango_layout_get_baseline(pLayout));
    m_metrics.nDescent = std::max(0, m_metrics.nHeight - m_metrics.nAscent);
    int nLineHeight = PangoToPixelsCeil(pango_font_metrics_get_height(pMetrics));
    m_metrics.nExternalLeading = std::max(0, nLineHeight - m_metrics.nHeight);
    m_metrics.nAveCharWidth = PangoToPixelsCeil(pango_font_metrics_get_approximate_char_width(pMetrics));
    int nWidest = std::max({MeasureAdvance(pLayout, "W"), MeasureAdvance(pLayout, "M"),
                            MeasureAdvance(pLayout, "@"), m_desc.nSizePx});
    m_metrics.nMaxCharWidth = nWidest;
    g_object_unref(pLayout);
    pango_font_metrics_unref(pMetrics);
    return m_metrics;
}

FontHandle CreateFontHandle(const wchar_t* pFace, int nSizePx, bool bBold, bool bUnderline, bool bItalic) {
    if (nSizePx < 1) return nullptr;
    StockFontDesc desc;
    desc.strFace = pFace ? pFace : L"";
    if (desc.strFace.empty()) desc.strFace = kStockFace;
    desc.nSizePx = nSizePx;
    desc.bBold = bBold;
    desc.bUnderline = bUnderline;
    desc.bItalic = bItalic;
    PangoFontDescription* pDesc = pango_font_description_new();
    pango_font_description_set_family(pDesc, WideToUtf8(desc.strFace).c_str());
    // Skin sizes are pixels, not points.
    pango_font_description_set_absolute_size(pDesc, static_cast<double>(nSizePx) * PANGO_SCALE);
    pango_font_description_set_weight(pDesc, bBold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(pDesc, bItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return new CFont(pDesc, desc);
}

void DeleteFontHandle(FontHandle hFont) { delete hFont; }

StockFontDesc GetStockGuiFontDesc() {
    StockFontDesc desc;
    desc.strFace = kStockFace;
    desc.nSizePx = kStockSizePx;
    return desc;
}

bool GetFontDesc(FontHandle hFont, StockFontDesc& desc) {
    if (!hFont) return false;
    desc = hFont->Desc();
    return true;
}

bool GetFontTextMetrics(FontHandle hFont, TextMetrics& metrics) {
    if (!hFont) return false;
    metrics = hFont->Metrics();
    return true;
}

}  // namespace platform
