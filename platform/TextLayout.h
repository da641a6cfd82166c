#pragma once
// Measuring text without a surface. Runs are shaped whole (Arabic joins and right-to-left
// order depend on neighbours), never one character at a time.
#include "platform/Font.h"
#include "platform/GraphicsTypes.h"

namespace platform {

// Width and height of one line of text (newlines are not interpreted).
SIZE MeasureTextLine(FontHandle hFont, const wchar_t* pText, int nLength);

// How many leading characters of the line fit in nMaxWidth pixels, cut only between whole
// characters as shaping sees them. pnWidth receives their width.
int FitTextLine(FontHandle hFont, const wchar_t* pText, int nLength, int nMaxWidth, int* pnWidth);

// DT_* text drawing rules, measuring only: rc keeps left and top; right and bottom become
// the size the text needs (as DrawText does with DT_CALCRECT). Answers the text height.
int CalcTextRect(FontHandle hFont, const wchar_t* pText, int nLength, RECT& rc, uint32_t dwFlags);

}  // namespace platform
