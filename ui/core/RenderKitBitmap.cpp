#include <algorithm>

#include "ui/core/RenderEngine.h"

namespace {

struct CPartPainter {
    platform::CCanvas& canvas;
    const platform::CBitmap& bitmap;
    const RECT& rcPaint;
    bool bBlend;
    uint8_t nFade;

    // Parts of no size are skipped, as are parts outside the paint rectangle.
    void Draw(const RECT& rcDest, const RECT& rcSource) const {
        if (IsRectEmpty(rcDest) || IsRectEmpty(rcSource)) return;
        RECT rcVisible;
        if (!IntersectRect(rcVisible, rcDest, rcPaint)) return;
        canvas.DrawBitmap(bitmap, rcSource, rcDest, bBlend, nFade);
    }

    // Tiles of the source's size from the destination's top-left; the last tile in each
    // direction is cut, never scaled. Only tiles meeting the paint rectangle are visited, so
    // a huge destination costs no more than the visible area.
    void DrawTiled(const RECT& rcDest, const RECT& rcSource, bool bXTiled, bool bYTiled) const {
        const int nTileWidth = RectWidth(rcSource);
        const int nTileHeight = RectHeight(rcSource);
        if (IsRectEmpty(rcDest) || nTileWidth <= 0 || nTileHeight <= 0) return;
        RECT rcVisible;
        if (!IntersectRect(rcVisible, rcDest, rcPaint)) return;
        const int nStepX = bXTiled ? nTileWidth : RectWidth(rcDest);
        const int nStepY = bYTiled ? nTileHeight : RectHeight(rcDest);
        const int nFirstX = rcDest.left + (rcVisible.left - rcDest.left) / nStepX * nStepX;
        const int nFirstY = rcDest.top + (rcVisible.top - rcDest.top) / nStepY * nStepY;
        for (int y = nFirstY; y < rcVisible.bottom; y += nStepY) {
            RECT rcTile;
            RECT rcPart = rcSource;
            rcTile.top = y;
            rcTile.bottom = std::min(rcDest.bottom, y + nStepY);
            if (bYTiled) rcPart.bottom = rcPart.top + RectHeight(rcTile);
            for (int x = nFirstX; x < rcVisible.right; x += nStepX) {
                rcTile.left = x;
                rcTile.right = std::min(rcDest.right, x + nStepX);
                rcPart.right = bXTiled ? rcPart.left + RectWidth(rcTile) : rcSource.right;
                Draw(rcTile, rcPart);
            }
        }
    }
};

// The nine parts in their order: the middle (unless a hole), then the corners and edges.
void DrawParts(platform::CCanvas& canvas, const platform::CBitmap& bitmap, const RECT& rcDest, const RECT& rcPaint,
               const RECT& rcSource, const RECT& rcCorners, bool bBlend, uint8_t nFade, bool bHole, bool bXTiled,
               bool bYTiled) {
    const CPartPainter painter{canvas, bitmap, rcPaint, bBlend, nFade};
    const RECT& d = rcDest;
    const RECT& s = rcSource;
    const RECT& c = rcCorners;
    if (!bHole) {
        const RECT rcMiddle{d.left + c.left, d.top + c.top, d.right - c.right, d.bottom - c.bottom};
        const RECT rcMiddleSource{s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom};
        if (bXTiled || bYTiled) painter.DrawTiled(rcMiddle, rcMiddleSource, bXTiled, bYTiled);
        else painter.Draw(rcMiddle, rcMiddleSource);
    }
    if (c.left > 0 && c.top > 0)
        painter.Draw({d.left, d.top, d.left + c.left, d.top + c.top}, {s.left, s.top, s.left + c.left, s.top + c.top});
    if (c.top > 0)
        painter.Draw({d.left + c.left, d.top, d.right - c.right, d.top + c.top},
                     {s.left + c.left, s.top, s.right - c.right, s.top + c.top});
    if (c.right > 0 && c.top > 0)
        painter.Draw({d.right - c.right, d.top, d.right, d.top + c.top}, {s.right - c.right, s.top, s.right, s.top + c.top});
    if (c.left > 0)
        painter.Draw({d.left, d.top + c.top, d.left + c.left, d.bottom - c.bottom},
                     {s.left, s.top + c.top, s.left + c.left, s.bottom - c.bottom});
    if (c.right > 0)
        painter.Draw({d.right - c.right, d.top + c.top, d.right, d.bottom - c.bottom},
                     {s.right - c.right, s.top + c.top, s.right, s.bottom - c.bottom});
    if (c.left > 0 && c.bottom > 0)
        painter.Draw({d.left, d.bottom - c.bottom, d.left + c.left, d.bottom},
                     {s.left, s.bottom - c.bottom, s.left + c.left, s.bottom});
    if (c.bottom > 0)
        painter.Draw({d.left + c.left, d.bottom - c.bottom, d.right - c.right, d.bottom},
                     {s.left + c.left, s.bottom - c.bottom, s.right - c.right, s.bottom});
    if (c.right > 0 && c.bottom > 0)
        painter.Draw({d.right - c.right, d.bottom - c.bottom, d.right, d.bottom},
                     {s.right - c.right, s.bottom - c.bottom, s.right, s.bottom});
}

}  // namespace

void CRenderKit::DrawBitmap(platform::CCanvas& canvas, const platform::CBitmap& bitmap, const RECT& rcDest,
                            const RECT& rcPaint, const RECT& rcSourceIn, const RECT& rcCornersIn, bool bAlpha,
                            uint8_t nFade, bool bHole, bool bXTiled, bool bYTiled) {
    RECT rcSource = rcSourceIn;
    RECT rcCorners = rcCornersIn;
    const int nWidth = bitmap.Width();
    const int nHeight = bitmap.Height();
    rcSource.left = std::clamp(rcSource.left, 0, nWidth);
    rcSource.top = std::clamp(rcSource.top, 0, nHeight);
    rcSource.right = std::clamp(rcSource.right, rcSource.left, nWidth);
    rcSource.bottom = std::clamp(rcSource.bottom, rcSource.top, nHeight);
    if (IsRectEmpty(rcSource) || IsRectEmpty(rcDest)) return;
    rcCorners.left = std::clamp(rcCorners.left, 0, RectWidth(rcSource));
    rcCorners.right = std::clamp(rcCorners.right, 0, RectWidth(rcSource) - rcCorners.left);
    rcCorners.top = std::clamp(rcCorners.top, 0, RectHeight(rcSource));
    rcCorners.bottom = std::clamp(rcCorners.bottom, 0, RectHeight(rcSource) - rcCorners.top);

    const bool bBlend = bAlpha || nFade != 255;
    const bool bNoCorners = rcCorners.left == 0 && rcCorners.top == 0 && rcCorners.right == 0 && rcCorners.bottom == 0;
    if (!bBlend && bNoCorners && !bHole && RectWidth(rcDest) == RectWidth(rcSource) &&
        RectHeight(rcDest) == RectHeight(rcSource)) {
        // Same size and opaque: only the part inside the paint rectangle is copied.
        RECT rcCopy;
        if (!IntersectRect(rcCopy, rcDest, rcPaint)) return;
        RECT rcPart{rcSource.left + rcCopy.left - rcDest.left, rcSource.top + rcCopy.top - rcDest.top, 0, 0};
        rcPart.right = rcPart.left + RectWidth(rcCopy);
        rcPart.bottom = rcPart.top + RectHeight(rcCopy);
        canvas.DrawBitmap(bitmap, rcPart, rcCopy, false, 255);
        return;
    }

    // Corners that do not fit the destination would reach past it; they are cut at its edges.
    const bool bCornersOverflow = rcCorners.left + rcCorners.right > RectWidth(rcDest) ||
                                  rcCorners.top + rcCorners.bottom > RectHeight(rcDest);
    RECT rcPartPaint = rcPaint;
    platform::ClipRecord clip;
    if (bCornersOverflow) {
        if (!IntersectRect(rcPartPaint, rcPaint, rcDest)) return;
        canvas.SaveClip(clip);
        canvas.IntersectClipRect(rcDest);
    }
    DrawParts(canvas, bitmap, rcDest, rcPartPaint, rcSource, rcCorners, bBlend, nFade, bHole, bXTiled, bYTiled);
    if (bCornersOverflow) canvas.RestoreClip(clip);
}
