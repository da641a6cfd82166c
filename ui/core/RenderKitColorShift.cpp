#include <algorithm>
#include <cmath>

#include "ui/core/RenderEngine.h"

namespace {

struct Hsl {
    double h = 0;  // degrees
    double s = 0;
    double l = 0;
};

Hsl RgbToHsl(double r, double g, double b) {
    const double dMax = std::max({r, g, b});
    const double dMin = std::min({r, g, b});
    Hsl hsl;
    hsl.l = (dMax + dMin) / 2;
    const double dDelta = dMax - dMin;
    if (dDelta <= 0) return hsl;
    hsl.s = hsl.l > 0.5 ? dDelta / (2 - dMax - dMin) : dDelta / (dMax + dMin);
    if (dMax == r) hsl.h = (g - b) / dDelta + (g < b ? 6 : 0);
    else if (dMax == g) hsl.h = (b - r) / dDelta + 2;
    else hsl.h = (r - g) / dDelta + 4;
    hsl.h *= 60;
    return hsl;
}

double HueToChannel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 1.0 / 2) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

uint32_t ToByte(double dValue) {
    return static_cast<uint32_t>(std::clamp(std::lround(dValue * 255), 0L, 255L));
}

bool IsNeutral(short nHue, short nSaturation, short nLightness) {
    return nHue == 180 && nSaturation == 100 && nLightness == 100;
}

// The colour part of an opaque 0x00RRGGBB value shifted.
uint32_t ShiftRgb(uint32_t dwRgb, short nHue, short nSaturation, short nLightness) {
    Hsl hsl = RgbToHsl(ColorRed(dwRgb) / 255.0, ColorGreen(dwRgb) / 255.0, ColorBlue(dwRgb) / 255.0);
    hsl.h += nHue - 180;
    if (hsl.h <= 0) hsl.h += 360;
    hsl.h = std::fmod(hsl.h, 360.0);
    hsl.s = std::clamp(hsl.s * nSaturation / 100.0, 0.0, 1.0);
    hsl.l = std::clamp(hsl.l * nLightness / 100.0, 0.0, 1.0);
    double r = hsl.l;
    double g = hsl.l;
    double b = hsl.l;
    if (hsl.s > 0) {
        const double q = hsl.l < 0.5 ? hsl.l * (1 + hsl.s) : hsl.l + hsl.s - hsl.l * hsl.s;
        const double p = 2 * hsl.l - q;
        const double t = hsl.h / 360;
        r = HueToChannel(p, q, t + 1.0 / 3);
        g = HueToChannel(p, q, t);
        b = HueToChannel(p, q, t - 1.0 / 3);
    }
    return (ToByte(r) << 16) | (ToByte(g) << 8) | ToByte(b);
}

}  // namespace

uint32_t CRenderKit::ShiftColor(uint32_t dwColor, short nHue, short nSaturation, short nLightness) {
    if (IsNeutral(nHue, nSaturation, nLightness)) return dwColor;
    return (dwColor & 0xFF000000u) | ShiftRgb(dwColor, nHue, nSaturation, nLightness);
}

void CRenderKit::ShiftImagePixels(ImageRecord* pRecord, bool bUse, short nHue, short nSaturation,
                                  short nLightness) {
    if (!pRecord || !pRecord->pKeptPixels || !pRecord->pBitmap) return;
    const bool bShift = bUse && !IsNeutral(nHue, nSaturation, nLightness);
    platform::CBitmap& bitmap = *pRecord->pBitmap;
    bitmap.BeginPixelAccess();
    const int nStride = bitmap.StridePixels();
    for (int y = 0; y < pRecord->nHeight; ++y) {
        const uint32_t* pKept = pRecord->pKeptPixels.get() + static_cast<size_t>(y) * pRecord->nWidth;
        uint32_t* pRow = bitmap.Pixels() + static_cast<size_t>(y) * nStride;
        for (int x = 0; x < pRecord->nWidth; ++x) {
            const uint32_t dwPixel = pKept[x];
            const uint32_t nAlpha = ColorAlpha(dwPixel);
            if (!bShift || nAlpha == 0) {
                pRow[x] = dwPixel;
                continue;
            }
            // Shifted as straight colour and premultiplied again, so no channel exceeds alpha.
            uint32_t dwStraight = dwPixel;
            if (nAlpha != 255) {
                dwStraight = (std::min(255u, ColorRed(dwPixel) * 255 / nAlpha) << 16) |
                             (std::min(255u, ColorGreen(dwPixel) * 255 / nAlpha) << 8) |
                             std::min(255u, ColorBlue(dwPixel) * 255 / nAlpha);
            }
            const uint32_t dwShifted = ShiftRgb(dwStraight, nHue, nSaturation, nLightness);
            pRow[x] = (nAlpha << 24) | ((ColorRed(dwShifted) * nAlpha / 255) << 16) |
                      ((ColorGreen(dwShifted) * nAlpha / 255) << 8) | (ColorBlue(dwShifted) * nAlpha / 255);
        }
    }
    bitmap.EndPixelAccess();
}
