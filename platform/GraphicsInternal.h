#pragma once
// Shared by the cairo/pango files of the drawing layer only.
#include <pango/pangocairo.h>

#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/GraphicsTypes.h"

namespace platform {

class CFont {
public:
    CFont(PangoFontDescription* pDesc, const StockFontDesc& desc);
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    PangoFontDescription* Description() const { return m_pDesc; }
    PangoAttrList* Attributes() const { return m_pAttrs; }
    const StockFontDesc& Desc() const { return m_desc; }
    const TextMetrics& Metrics();

private:
    PangoFontDescription* m_pDesc;
    PangoAttrList* m_pAttrs;
    StockFontDesc m_desc;
    bool m_bMeasured = false;
    TextMetrics m_metrics;
};

namespace graphics {

// Contexts per thread with fixed font options, so that measuring and drawing agree.
PangoContext* SharedContext(bool bRtl = false);

// UTF-8 of the text (up to an embedded NUL) and, for each wide character, its byte offset;
// the list ends with the total length.
struct Utf8Text {
    std::string strBytes;
    std::vector<int> charOffsets;
};
Utf8Text ToUtf8WithOffsets(const wchar_t* pText, int nLength);

// A layout of the text in the font, left-to-right base direction unless bRtl; the caller
// unrefs it.
PangoLayout* CreateLayout(FontHandle hFont, const std::string& strUtf8, bool bRtl);

// Where and how DrawText puts the text.
struct TextPlan {
    PangoLayout* pLayout = nullptr;  // owned by the plan
    int x = 0;
    int y = 0;
    int nWidth = 0;
    int nHeight = 0;
    ~TextPlan();
};
void PlanDrawText(FontHandle hFont, const wchar_t* pText, int nLength, const RECT& rc, uint32_t dwFlags,
                  TextPlan& plan);

}  // namespace graphics
}  // namespace platform
