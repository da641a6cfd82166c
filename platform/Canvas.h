#pragma once
// Off-screen drawing: a 32-bit premultiplied bitmap (top-down, 0xAARRGGBB words, so BGRA
// bytes in memory) and a canvas that draws into it with a clip, in pixel coordinates.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/GraphicsTypes.h"

namespace platform {

class CBitmap {
public:
    // Every pixel starts transparent black. Null for sizes below 1 or too large.
    static std::unique_ptr<CBitmap> Create(int nWidth, int nHeight);
    // Null when the file is missing or no PNG.
    static std::unique_ptr<CBitmap> LoadPng(const std::string& strPath);
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    int Width() const;
    int Height() const;
    // In 32-bit words; rows may be padded.
    int StridePixels() const;
    // Direct pixel access must be bracketed by BeginPixelAccess/EndPixelAccess, since the
    // drawing library caches what it drew.
    uint32_t* Pixels();
    const uint32_t* Pixels() const;
    void BeginPixelAccess();
    void EndPixelAccess();
    uint32_t GetPixel(int x, int y) const;
    bool SavePng(const std::string& strPath) const;

    struct CImpl;
    CImpl* Impl() const { return m_pImpl.get(); }

private:
    explicit CBitmap(std::unique_ptr<CImpl> pImpl);
    std::unique_ptr<CImpl> m_pImpl;
};

// A clip shape: a rectangle, with rounded corners when the ellipse size is set.
struct ClipShape {
    RECT rc;
    int nEllipseWidth = 0;
    int nEllipseHeight = 0;
};

// The clip in force before a ClipTo... call, to be put back by RestoreClip.
struct ClipRecord {
    bool bSaved = false;
    std::vector<ClipShape> shapes;
};

// Draws into a bitmap that must outlive it.
class CCanvas {
public:
    explicit CCanvas(CBitmap& target);
    ~CCanvas();
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    CBitmap& Target() { return m_target; }

    // The bounding box of the clip (the whole bitmap without one).
    RECT GetClipBox() const;
    void SaveClip(ClipRecord& record) const;
    void RestoreClip(ClipRecord& record);
    void IntersectClipRect(const RECT& rc);
    // Hard-edged, with the classic region rules: rc's right and bottom are exclusive.
    void IntersectClipRoundRect(const RECT& rc, int nEllipseWidth, int nEllipseHeight);
    void ResetClip();

    // Alpha 0 draws nothing, 0xFF replaces, anything else blends.
    void FillRect(const RECT& rc, uint32_t dwColor);
    // Draws rcSource of the bitmap into rcDest, scaled with nearest-neighbour sampling and
    // never reading outside rcSource. bBlend: premultiplied OVER at nAlpha / 255; else the
    // pixels are copied.
    void DrawBitmap(const CBitmap& source, const RECT& rcSource, const RECT& rcDest, bool bBlend, uint8_t nAlpha);
    // From dwFirst at the top (or left) to dwSecond at the bottom (or right), RGB only,
    // drawn at nAlpha / 255.
    void FillGradient(const RECT& rc, uint32_t dwFirst, uint32_t dwSecond, bool bVertical, uint8_t nAlpha);
    // Pens use only the RGB part. A line leaves out its last pixel.
    void DrawLine(POINT ptFrom, POINT ptTo, int nWidth, uint32_t dwColor, int nPenStyle);
    // The outline lies inside rc.
    void StrokeRect(const RECT& rc, int nWidth, uint32_t dwColor, int nPenStyle);
    void StrokeRoundRect(const RECT& rc, int nWidth, int nEllipseWidth, int nEllipseHeight, uint32_t dwColor,
                         int nPenStyle);

    // DrawText rules for the DT_* flags: vertical alignment only with DT_SINGLELINE, clipped
    // to rc unless DT_NOCLIP, DT_CALCRECT only measures (rc keeps left and top),
    // DT_WORDBREAK never splits a word, DT_RTLREADING reads right to left. Text colour is
    // RGB only. Answers the text height.
    int DrawText(const wchar_t* pText, int nLength, RECT& rc, FontHandle hFont, uint32_t dwColor, uint32_t dwFlags);
    // DrawText placement, filled with a linear gradient from dwFrom at ptFrom to dwTo at
    // ptTo (canvas coordinates, colours with alpha), as the label's text effects draw.
    void DrawTextGradient(const wchar_t* pText, int nLength, const RECT& rc, FontHandle hFont, uint32_t dwFrom,
                          uint32_t dwTo, POINT ptFrom, POINT ptTo, uint32_t dwFlags);
    // Scaled with smooth (bilinear) filtering, blended at nAlpha / 255: the shrink-and-enlarge
    // blur of the glow effect.
    void DrawBitmapSmooth(const CBitmap& source, const RECT& rcSource, const RECT& rcDest, uint8_t nAlpha);
    // Sets the pixels of rc to transparent black.
    void Clear(const RECT& rc);

    // One line with its cell's top-left at (x, y). With bOpaque the cell is first filled
    // with dwBackColor.
    void TextOut(int x, int y, const wchar_t* pText, int nLength, FontHandle hFont, uint32_t dwColor,
                 bool bOpaque = false, uint32_t dwBackColor = 0, bool bRtlReading = false);

    struct CImpl;

private:
    void ApplyClip();
    CBitmap& m_target;
    std::unique_ptr<CImpl> m_pImpl;
    std::vector<ClipShape> m_clip;
};

}  // namespace platform
