#pragma once
// Fonts by face, pixel size and style. A face the machine lacks is replaced through
// fontconfig's fallback, so a skin asking for any face still draws text.
#include <string>

namespace platform {

struct TextMetrics {
    int nHeight = 0;  // ascent + descent
    int nAscent = 0;
    int nDescent = 0;
    int nExternalLeading = 0;  // extra space the font asks for between lines
    int nAveCharWidth = 0;
    int nMaxCharWidth = 0;  // never less than the widest advance of common text
};

class CFont;
// A font handle as the controls and tables pass it around; owned by whoever created it.
using FontHandle = CFont*;

// nSizePx is the em size in pixels (a skin's negative height). Null when nSizePx < 1.
FontHandle CreateFontHandle(const wchar_t* pFace, int nSizePx, bool bBold, bool bUnderline, bool bItalic);
void DeleteFontHandle(FontHandle hFont);

// The face and size the stock interface font is described with; fonts made with AddFont
// start from it.
struct StockFontDesc {
    std::wstring strFace;
    int nSizePx = 0;
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
};
StockFontDesc GetStockGuiFontDesc();

// What the handle was created with; false for a null handle.
bool GetFontDesc(FontHandle hFont, StockFontDesc& desc);
// Measured once per handle; false for a null handle.
bool GetFontTextMetrics(FontHandle hFont, TextMetrics& metrics);

}  // namespace platform
