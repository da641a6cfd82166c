#pragma once
// CRenderKit: the stateless drawing operations that controls and the manager use.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Canvas.h"
#include "platform/GraphicsTypes.h"
#include "ui/core/ImageRecord.h"
#include "ui/core/RenderResources.h"
#include "ui/core/UIString.h"

// Resource type of a one-pixel image whose colour is written in the name.
inline constexpr const wchar_t* kColorResourceType = L"*COLOR*";

// Limits against images that lie about their size.
inline constexpr int kMaxImageSide = 8192;
inline constexpr int64_t kMaxImagePixels = 16LL * 1024 * 1024;

class CRenderKit {
public:
    // Reads the image bytes (resource of pResType, else the resource zip or a file under the
    // resource path, else the name as a plain path), decodes and premultiplies them. A
    // converted pixel equal to dwMask becomes transparent. Null on any failure.
    static ImageRecord* LoadImageData(const wchar_t* pName, const wchar_t* pResType, uint32_t dwMask);
    static ImageRecord* LoadImageFromMemory(const uint8_t* pData, size_t nSize, uint32_t dwMask);
    // "#AARRGGBB" (the "#" optional) as a 1 by 1 image; the mask applies as to any image.
    static ImageRecord* LoadColorImage(const wchar_t* pColor, uint32_t dwMask = 0);
    static void FreeImageRecord(ImageRecord* pRecord, bool bFreeRecord);
    // Copies the loaded pixels aside (rows packed, width words each) so the colour shift can
    // always start from them; sets the keep-pixels flag.
    static bool KeepImagePixels(ImageRecord* pRecord);

    // Reads the key='value' pairs of the description's draw string into it. Answers false
    // for an empty string.
    static bool ParseImageDrawString(ImageDrawDesc& desc);
    // A null canvas only parses and loads. False when the image cannot be had.
    static bool DrawImageDesc(platform::CCanvas* pCanvas, IRenderResources* pManager, const RECT& rcItem,
                              const RECT& rcPaint, ImageDrawDesc& desc);
    static void DrawBitmap(platform::CCanvas& canvas, const platform::CBitmap& bitmap, const RECT& rcDest,
                           const RECT& rcPaint, const RECT& rcSource, const RECT& rcCorners, bool bAlpha,
                           uint8_t nFade, bool bHole, bool bXTiled, bool bYTiled);

    static void FillColor(platform::CCanvas& canvas, const RECT& rc, uint32_t dwColor);
    static void FillGradient(platform::CCanvas& canvas, const RECT& rc, uint32_t dwFirst, uint32_t dwSecond,
                             bool bVertical, int nSteps);
    static void StrokeLine(platform::CCanvas& canvas, const RECT& rc, int nSize, uint32_t dwColor,
                           int nStyle = PS_SOLID);
    static void StrokeRect(platform::CCanvas& canvas, const RECT& rc, int nSize, uint32_t dwColor,
                           int nStyle = PS_SOLID);
    static void StrokeRoundRect(platform::CCanvas& canvas, const RECT& rc, int nSize, int nEllipseWidth,
                                int nEllipseHeight, uint32_t dwColor, int nStyle = PS_SOLID);

    // With DT_CALCRECT the canvas may be null and rc receives the size the text needs.
    static void DrawPlainText(platform::CCanvas* pCanvas, IRenderResources* pManager, RECT& rc,
                              const wchar_t* pText, uint32_t dwTextColor, int nFont, uint32_t uStyle);
    // The formatted text markup. prcLinks/pLinkTargets hold nLinkCount slots on the way in;
    // nLinkCount answers the links found. They may be null with nLinkCount 0.
    static void DrawMarkupText(platform::CCanvas* pCanvas, IRenderResources* pManager, RECT& rc,
                               const wchar_t* pText, uint32_t dwTextColor, RECT* prcLinks,
                               CUIString* pLinkTargets, int& nLinkCount, int nFont, uint32_t uStyle);

    static void ClipToRect(platform::CCanvas& canvas, const RECT& rc, platform::ClipRecord& clip);
    static void ClipToRoundRect(platform::CCanvas& canvas, const RECT& rcPaint, const RECT& rcItem,
                                int nEllipseWidth, int nEllipseHeight, platform::ClipRecord& clip);
    static void RestoreClip(platform::CCanvas& canvas, platform::ClipRecord& clip);

    // Hue 180, saturation 100 and lightness 100 are neutral.
    static uint32_t ShiftColor(uint32_t dwColor, short nHue, short nSaturation, short nLightness);
    static void ShiftImagePixels(ImageRecord* pRecord, bool bUse, short nHue, short nSaturation,
                                 short nLightness);

    static std::unique_ptr<platform::CBitmap> MakeDibSection32(int nWidth, int nHeight);
};
