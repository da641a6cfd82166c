#include <algorithm>

#include "ui/core/RenderEngine.h"

void CRenderKit::FillColor(platform::CCanvas& canvas, const RECT& rc, uint32_t dwColor) {
    canvas.FillRect(rc, dwColor);
}

void CRenderKit::FillGradient(platform::CCanvas& canvas, const RECT& rc, uint32_t dwFirst, uint32_t dwSecond,
                              bool bVertical, int nSteps) {
    // The smooth gradient needs no bands; nSteps only shaped the fallback of old systems.
    (void)nSteps;
    const uint32_t nAlpha = (ColorAlpha(dwFirst) + ColorAlpha(dwSecond)) / 2;
    if (nAlpha == 0) return;
    canvas.FillGradient(rc, dwFirst, dwSecond, bVertical, static_cast<uint8_t>(nAlpha));
}

void CRenderKit::StrokeLine(platform::CCanvas& canvas, const RECT& rc, int nSize, uint32_t dwColor, int nStyle) {
    canvas.DrawLine(POINT{rc.left, rc.top}, POINT{rc.right, rc.bottom}, nSize, dwColor, nStyle);
}

void CRenderKit::StrokeRect(platform::CCanvas& canvas, const RECT& rc, int nSize, uint32_t dwColor, int nStyle) {
    canvas.StrokeRect(rc, nSize, dwColor, nStyle | PS_INSIDEFRAME);
}

void CRenderKit::StrokeRoundRect(platform::CCanvas& canvas, const RECT& rc, int nSize, int nEllipseWidth,
                                 int nEllipseHeight, uint32_t dwColor, int nStyle) {
    canvas.StrokeRoundRect(rc, nSize, nEllipseWidth, nEllipseHeight, dwColor, nStyle | PS_INSIDEFRAME);
}

void CRenderKit::ClipToRect(platform::CCanvas& canvas, const RECT& rc, platform::ClipRecord& clip) {
    canvas.SaveClip(clip);
    RECT rcClip;
    IntersectRect(rcClip, rc, canvas.GetClipBox());
    canvas.ResetClip();
    canvas.IntersectClipRect(rcClip);
}

void CRenderKit::ClipToRoundRect(platform::CCanvas& canvas, const RECT& rcPaint, const RECT& rcItem,
                                 int nEllipseWidth, int nEllipseHeight, platform::ClipRecord& clip) {
    canvas.SaveClip(clip);
    RECT rcClip;
    IntersectRect(rcClip, rcPaint, canvas.GetClipBox());
    canvas.ResetClip();
    canvas.IntersectClipRect(rcClip);
    // The classic region call is given right + 1 and bottom + 1 and leaves out its own last
    // column and row, so the rounded shape covers exactly the item rectangle.
    canvas.IntersectClipRoundRect(rcItem, nEllipseWidth, nEllipseHeight);
}

void CRenderKit::RestoreClip(platform::CCanvas& canvas, platform::ClipRecord& clip) { canvas.RestoreClip(clip); }
