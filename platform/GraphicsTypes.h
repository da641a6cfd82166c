#pragma once
// Geometry, colour and text-format values shared by the drawing code. Rectangles, sizes and
// points keep the layout of the classic 32-bit structures the skin and controls are written
// against; right and bottom are exclusive.
#include <cstdint>

struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct SIZE {
    int32_t cx = 0;
    int32_t cy = 0;
};

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
};

inline bool IsRectEmpty(const RECT& rc) { return rc.right <= rc.left || rc.bottom <= rc.top; }
inline int32_t RectWidth(const RECT& rc) { return rc.right - rc.left; }
inline int32_t RectHeight(const RECT& rc) { return rc.bottom - rc.top; }
inline bool PtInRect(const RECT& rc, POINT pt) {
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}
// Answers false (and an empty result) when the rectangles do not overlap.
bool IntersectRect(RECT& rcOut, const RECT& rcA, const RECT& rcB);
bool operator==(const RECT& a, const RECT& b);

// Text-format flags; the values are part of the skin's and controls' behaviour.
constexpr uint32_t DT_LEFT = 0x0;
constexpr uint32_t DT_TOP = 0x0;
constexpr uint32_t DT_CENTER = 0x1;
constexpr uint32_t DT_RIGHT = 0x2;
constexpr uint32_t DT_VCENTER = 0x4;
constexpr uint32_t DT_BOTTOM = 0x8;
constexpr uint32_t DT_WORDBREAK = 0x10;
constexpr uint32_t DT_SINGLELINE = 0x20;
constexpr uint32_t DT_NOCLIP = 0x100;
constexpr uint32_t DT_CALCRECT = 0x400;
constexpr uint32_t DT_NOPREFIX = 0x800;
constexpr uint32_t DT_END_ELLIPSIS = 0x8000;
constexpr uint32_t DT_RTLREADING = 0x20000;

// Pen styles of lines and outlines.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;

// Colours are 0xAARRGGBB.
constexpr uint32_t ColorAlpha(uint32_t dwColor) { return dwColor >> 24; }
constexpr uint32_t ColorRed(uint32_t dwColor) { return (dwColor >> 16) & 0xFF; }
constexpr uint32_t ColorGreen(uint32_t dwColor) { return (dwColor >> 8) & 0xFF; }
constexpr uint32_t ColorBlue(uint32_t dwColor) { return dwColor & 0xFF; }
