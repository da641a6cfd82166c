// Draws the product pack's banners (pr_1.png to pr_3.png, 650 x 290, one set per language) and
// the window icon. Captions come from one UTF-8 file per language:
//   direction=rtl            (optional)
//   headline1=... subline1=... headline2=... subline2=... headline3=... subline3=...
// Usage: norvane-banners banners OUT_DIR CAPTION_FILE...   (writes OUT_DIR/<file stem>/pr_N.png)
//        norvane-banners icon OUT.png SIZE
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

namespace {

constexpr int kBannerWidth = 650;
constexpr int kBannerHeight = 290;
constexpr double kPi = 3.14159265358979323846;
constexpr const char* kProductName = "Norvane Vellumpod";
constexpr const char* kFontFamilies = "DejaVu Sans, WenQuanYi Micro Hei";

struct Rgb {
    double r, g, b;
};

Rgb Hex(unsigned nColour) {
    return {((nColour >> 16) & 0xFF) / 255.0, ((nColour >> 8) & 0xFF) / 255.0, (nColour & 0xFF) / 255.0};
}

void SetColour(cairo_t* cr, Rgb colour, double dAlpha = 1.0) {
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, dAlpha);
}

struct Palette {
    Rgb from, to, accent, glow;
};

const Palette kPalettes[3] = {
    {Hex(0x0B3D91), Hex(0x1FA2C7), Hex(0xFFC857), Hex(0x7FE3FF)},
    {Hex(0x3A1C71), Hex(0xD76D77), Hex(0xFFAF7B), Hex(0xFFD3E0)},
    {Hex(0x0F2027), Hex(0x2C7A5B), Hex(0x9BE15D), Hex(0xB8F5D0)},
};

struct Captions {
    bool bRightToLeft = false;
    std::map<std::string, std::string> values;
    std::string Get(const std::string& strKey) const {
        auto it = values.find(strKey);
        return it == values.end() ? std::string() : it->second;
    }
};

bool ReadCaptions(const std::filesystem::path& path, Captions& captions) {
    std::ifstream input(path);
    if (!input) return false;
    std::string strLine;
    while (std::getline(input, strLine)) {
        if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
        const std::size_t nEquals = strLine.find('=');
        if (strLine.empty() || strLine[0] == '#' || nEquals == std::string::npos) continue;
        captions.values[strLine.substr(0, nEquals)] = strLine.substr(nEquals + 1);
    }
    captions.bRightToLeft = captions.Get("direction") == "rtl";
    return true;
}

void RoundedRectangle(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void DrawBackground(cairo_t* cr, const Palette& palette) {
    cairo_pattern_t* pGradient = cairo_pattern_create_linear(0, 0, kBannerWidth, kBannerHeight);
    cairo_pattern_add_color_stop_rgb(pGradient, 0, palette.from.r, palette.from.g, palette.from.b);
    cairo_pattern_add_color_stop_rgb(pGradient, 1, palette.to.r, palette.to.g, palette.to.b);
    cairo_set_source(cr, pGradient);
    cairo_paint(cr);
    cairo_pattern_destroy(pGradient);

    SetColour(cr, palette.glow, 0.10);
    cairo_arc(cr, 560, -40, 170, 0, 2 * kPi);
    cairo_fill(cr);
    SetColour(cr, palette.glow, 0.08);
    cairo_arc(cr, 40, 300, 120, 0, 2 * kPi);
    cairo_fill(cr);

    SetColour(cr, Hex(0xFFFFFF), 0.07);
    cairo_move_to(cr, 0, 250);
    cairo_curve_to(cr, 180, 200, 380, 300, 650, 220);
    cairo_line_to(cr, 650, 290);
    cairo_line_to(cr, 0, 290);
    cairo_close_path(cr);
    cairo_fill(cr);

    SetColour(cr, Hex(0xFFFFFF), 0.16);
    for (int nRow = 0; nRow < 4; ++nRow) {
        for (int nColumn = 0; nColumn < 6; ++nColumn) {
            cairo_arc(cr, 300 + nColumn * 14, 26 + nRow * 14, 1.6, 0, 2 * kPi);
            cairo_fill(cr);
        }
    }
}

// The product mark: a rounded square holding a leaf-shaped page.
void DrawLogo(cairo_t* cr, double x, double y, double dSize, const Palette& palette) {
    RoundedRectangle(cr, x, y, dSize, dSize, dSize * 0.24);
    SetColour(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
    const double s = dSize;
    cairo_move_to(cr, x + s * 0.28, y + s * 0.72);
    cairo_curve_to(cr, x + s * 0.22, y + s * 0.40, x + s * 0.45, y + s * 0.22, x + s * 0.76, y + s * 0.24);
    cairo_curve_to(cr, x + s * 0.78, y + s * 0.55, x + s * 0.58, y + s * 0.78, x + s * 0.28, y + s * 0.72);
    cairo_close_path(cr);
    cairo_pattern_t* pGradient = cairo_pattern_create_linear(x, y + s, x + s, y);
    cairo_pattern_add_color_stop_rgb(pGradient, 0, palette.from.r, palette.from.g, palette.from.b);
    cairo_pattern_add_color_stop_rgb(pGradient, 1, palette.to.r, palette.to.g, palette.to.b);
    cairo_set_source(cr, pGradient);
    cairo_fill(cr);
    cairo_pattern_destroy(pGradient);
    SetColour(cr, Hex(0xFFFFFF), 0.9);
    cairo_set_line_width(cr, s * 0.05);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x + s * 0.32, y + s * 0.68);
    cairo_curve_to(cr, x + s * 0.45, y + s * 0.55, x + s * 0.58, y + s * 0.42, x + s * 0.70, y + s * 0.30);
    cairo_stroke(cr);
}

void DrawShadowedCard(cairo_t* cr, double x, double y, double w, double h) {
    for (int i = 6; i > 0; --i) {
        RoundedRectangle(cr, x - i + 3, y - i + 8, w + 2 * i, h + 2 * i, 12 + i);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.025);
        cairo_fill(cr);
    }
    RoundedRectangle(cr, x, y, w, h, 12);
    SetColour(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
}

void DrawTextLines(cairo_t* cr, double x, double y, double dWidth, int nLines, Rgb colour) {
    for (int i = 0; i < nLines; ++i) {
        const double dLength = dWidth * (i % 3 == 2 ? 0.6 : (i % 2 ? 0.85 : 0.95));
        RoundedRectangle(cr, x, y + i * 14, dLength, 6, 3);
        SetColour(cr, colour, 0.9);
        cairo_fill(cr);
    }
}

// The application window: title bar, notebook list and an open page; each banner adds its motif.
void DrawAppWindow(cairo_t* cr, double x, double y, const Palette& palette, int nBanner) {
    const double w = 250, h = 176;
    DrawShadowedCard(cr, x, y, w, h);
    cairo_save(cr);
    RoundedRectangle(cr, x, y, w, h, 12);
    cairo_clip(cr);
    SetColour(cr, Hex(0xEEF2F7));
    cairo_rectangle(cr, x, y, w, 24);
    cairo_fill(cr);
    const unsigned aDots[3] = {0xFF5F57, 0xFEBC2E, 0x28C840};
    for (int i = 0; i < 3; ++i) {
        SetColour(cr, Hex(aDots[i]));
        cairo_arc(cr, x + 14 + i * 13, y + 12, 4, 0, 2 * kPi);
        cairo_fill(cr);
    }
    SetColour(cr, Hex(0xF5F7FA));
    cairo_rectangle(cr, x, y + 24, 70, h - 24);
    cairo_fill(cr);
    for (int i = 0; i < 5; ++i) {
        const bool bSelected = i == 1;
        if (bSelected) {
            RoundedRectangle(cr, x + 6, y + 32 + i * 22, 58, 18, 5);
            SetColour(cr, palette.to, 0.25);
            cairo_fill(cr);
        }
        SetColour(cr, i % 2 ? palette.from : palette.to, 0.85);
        cairo_arc(cr, x + 15, y + 41 + i * 22, 3.5, 0, 2 * kPi);
        cairo_fill(cr);
        RoundedRectangle(cr, x + 23, y + 38 + i * 22, 34 - (i % 3) * 6, 6, 3);
        SetColour(cr, Hex(0xB8C2D0));
        cairo_fill(cr);
    }
    RoundedRectangle(cr, x + 84, y + 36, 110, 9, 4);
    SetColour(cr, Hex(0x2B3445));
    cairo_fill(cr);
    DrawTextLines(cr, x + 84, y + 56, 150, 7, Hex(0xD3DAE5));
    cairo_restore(cr);

    if (nBanner == 0) {
        SetColour(cr, palette.accent);
        cairo_set_line_width(cr, 4);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, x + 90, y + 160);
        cairo_curve_to(cr, x + 120, y + 130, x + 150, y + 175, x + 185, y + 145);
        cairo_curve_to(cr, x + 200, y + 132, x + 215, y + 150, x + 228, y + 138);
        cairo_stroke(cr);
        cairo_save(cr);
        cairo_translate(cr, x + 232, y + 128);
        cairo_rotate(cr, -kPi / 4);
        RoundedRectangle(cr, -5, -34, 10, 40, 3);
        SetColour(cr, palette.from);
        cairo_fill(cr);
        cairo_move_to(cr, -5, 6);
        cairo_line_to(cr, 5, 6);
        cairo_line_to(cr, 0, 16);
        cairo_close_path(cr);
        SetColour(cr, palette.accent);
        cairo_fill(cr);
        cairo_restore(cr);
    } else if (nBanner == 1) {
        const double cx = x + 205, cy = y + 120;
        cairo_arc(cr, cx, cy, 30, 0, 2 * kPi);
        SetColour(cr, Hex(0xFFFFFF), 0.65);
        cairo_fill_preserve(cr);
        SetColour(cr, palette.from);
        cairo_set_line_width(cr, 7);
        cairo_stroke(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cr, 11);
        cairo_move_to(cr, cx + 22, cy + 22);
        cairo_line_to(cr, cx + 44, cy + 44);
        cairo_stroke(cr);
        RoundedRectangle(cr, x + 84, y + 68, 88, 10, 3);
        SetColour(cr, palette.accent, 0.8);
        cairo_fill(cr);
    } else {
        const double cx = x + 212, cy = y + 130;
        cairo_arc(cr, cx, cy, 34, 0, 2 * kPi);
        SetColour(cr, palette.to);
        cairo_fill(cr);
        SetColour(cr, Hex(0xFFFFFF));
        cairo_set_line_width(cr, 5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int i = 0; i < 2; ++i) {
            const double dStart = i * kPi + 0.3;
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx, cy, 19, dStart, dStart + kPi - 0.7);
            cairo_stroke(cr);
            const double ex = cx + 19 * std::cos(dStart + kPi - 0.7), ey = cy + 19 * std::sin(dStart + kPi - 0.7);
            const double dAngle = dStart + kPi - 0.7 + kPi / 2;
            cairo_move_to(cr, ex + 8 * std::cos(dAngle - 0.6), ey + 8 * std::sin(dAngle - 0.6));
            cairo_line_to(cr, ex, ey);
            cairo_line_to(cr, ex + 8 * std::cos(dAngle + 0.6 + kPi / 2), ey + 8 * std::sin(dAngle + 0.6 + kPi / 2));
            cairo_stroke(cr);
        }
        RoundedRectangle(cr, x - 34, y + 96, 56, 96, 10);
        SetColour(cr, Hex(0x1C2333));
        cairo_fill(cr);
        RoundedRectangle(cr, x - 29, y + 104, 46, 78, 5);
        SetColour(cr, Hex(0xFFFFFF));
        cairo_fill(cr);
        DrawTextLines(cr, x - 24, y + 112, 36, 4, Hex(0xD3DAE5));
        RoundedRectangle(cr, x - 24, y + 168, 22, 8, 4);
        SetColour(cr, palette.accent);
        cairo_fill(cr);
    }
}

PangoLayout* MakeLayout(cairo_t* cr, const std::string& strText, double dSize, bool bBold, double dWidth,
                        bool bRightToLeft) {
    PangoLayout* pLayout = pango_cairo_create_layout(cr);
    PangoFontDescription* pFont = pango_font_description_from_string(kFontFamilies);
    pango_font_description_set_absolute_size(pFont, dSize * PANGO_SCALE);
    pango_font_description_set_weight(pFont, bBold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(pLayout, pFont);
    pango_font_description_free(pFont);
    pango_layout_set_width(pLayout, static_cast<int>(dWidth * PANGO_SCALE));
    pango_layout_set_wrap(pLayout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(pLayout, bRightToLeft ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT);
    pango_layout_set_auto_dir(pLayout, FALSE);
    PangoContext* pContext = pango_layout_get_context(pLayout);
    pango_context_set_base_dir(pContext, bRightToLeft ? PANGO_DIRECTION_RTL : PANGO_DIRECTION_LTR);
    pango_layout_context_changed(pLayout);
    pango_layout_set_text(pLayout, strText.c_str(), -1);
    return pLayout;
}

// Shrinks the type until the text fits the box in at most nMaxLines lines.
PangoLayout* FitLayout(cairo_t* cr, const std::string& strText, double dSize, bool bBold, double dWidth, int nMaxLines,
                       bool bRightToLeft) {
    for (;;) {
        PangoLayout* pLayout = MakeLayout(cr, strText, dSize, bBold, dWidth, bRightToLeft);
        if (pango_layout_get_line_count(pLayout) <= nMaxLines || dSize <= 11) return pLayout;
        g_object_unref(pLayout);
        dSize -= 1;
    }
}

double ShowLayout(cairo_t* cr, PangoLayout* pLayout, double x, double y, Rgb colour, double dAlpha) {
    int nWidth = 0, nHeight = 0;
    pango_layout_get_pixel_size(pLayout, &nWidth, &nHeight);
    SetColour(cr, colour, dAlpha);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, pLayout);
    g_object_unref(pLayout);
    return nHeight;
}

bool DrawBanner(const Captions& captions, int nBanner, const std::filesystem::path& output) {
    cairo_surface_t* pSurface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kBannerWidth, kBannerHeight);
    cairo_t* cr = cairo_create(pSurface);
    const Palette& palette = kPalettes[nBanner];
    const bool bRtl = captions.bRightToLeft;
    DrawBackground(cr, palette);

    const double dTextWidth = 282;
    const double dTextLeft = bRtl ? kBannerWidth - 36 - dTextWidth : 36;
    const double dWindowLeft = bRtl ? 44 : kBannerWidth - 44 - 250;
    DrawAppWindow(cr, dWindowLeft, 58, palette, nBanner);

    const double dLogoSize = 30;
    const double dLogoLeft = bRtl ? kBannerWidth - 36 - dLogoSize : 36;
    DrawLogo(cr, dLogoLeft, 34, dLogoSize, palette);
    PangoLayout* pName = MakeLayout(cr, kProductName, 15, true, dTextWidth - dLogoSize - 10, bRtl);
    pango_layout_set_alignment(pName, bRtl ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT);
    ShowLayout(cr, pName, bRtl ? dTextLeft : dLogoLeft + dLogoSize + 10, 40, Hex(0xFFFFFF), 0.95);

    const std::string strIndex = std::to_string(nBanner + 1);
    double y = 92;
    y += ShowLayout(cr, FitLayout(cr, captions.Get("headline" + strIndex), 30, true, dTextWidth, 2, bRtl), dTextLeft, y,
                    Hex(0xFFFFFF), 1.0);
    y += 14;
    RoundedRectangle(cr, bRtl ? dTextLeft + dTextWidth - 48 : dTextLeft, y, 48, 4, 2);
    SetColour(cr, palette.accent);
    cairo_fill(cr);
    y += 16;
    ShowLayout(cr, FitLayout(cr, captions.Get("subline" + strIndex), 15, false, dTextWidth, 3, bRtl), dTextLeft, y,
               Hex(0xFFFFFF), 0.85);

    for (int i = 0; i < 3; ++i) {
        const double cx = (bRtl ? kBannerWidth - 36 - 8 : 36 + 8) + (bRtl ? -1 : 1) * i * 18;
        SetColour(cr, Hex(0xFFFFFF), i == nBanner ? 0.95 : 0.35);
        RoundedRectangle(cr, cx - (i == nBanner ? 8 : 4), 266, i == nBanner ? 16 : 8, 8, 4);
        cairo_fill(cr);
    }

    cairo_destroy(cr);
    const bool bOk = cairo_surface_write_to_png(pSurface, output.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(pSurface);
    return bOk;
}

bool DrawIcon(const std::filesystem::path& output, int nSize) {
    cairo_surface_t* pSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, nSize, nSize);
    cairo_t* cr = cairo_create(pSurface);
    const Palette& palette = kPalettes[0];
    const double s = nSize;
    RoundedRectangle(cr, 0, 0, s, s, s * 0.22);
    cairo_pattern_t* pGradient = cairo_pattern_create_linear(0, 0, s, s);
    cairo_pattern_add_color_stop_rgb(pGradient, 0, palette.from.r, palette.from.g, palette.from.b);
    cairo_pattern_add_color_stop_rgb(pGradient, 1, palette.to.r, palette.to.g, palette.to.b);
    cairo_set_source(cr, pGradient);
    cairo_fill(cr);
    cairo_pattern_destroy(pGradient);
    DrawLogo(cr, s * 0.16, s * 0.16, s * 0.68, palette);
    cairo_destroy(cr);
    const bool bOk = cairo_surface_write_to_png(pSurface, output.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(pSurface);
    return bOk;
}

int MakeBanners(const std::filesystem::path& outFolder, int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        const std::filesystem::path captionFile = argv[i];
        Captions captions;
        if (!ReadCaptions(captionFile, captions)) {
            std::cerr << "banners: cannot read " << captionFile << "\n";
            return 1;
        }
        const std::filesystem::path folder = outFolder / captionFile.stem();
        std::filesystem::create_directories(folder);
        for (int nBanner = 0; nBanner < 3; ++nBanner) {
            const auto output = folder / ("pr_" + std::to_string(nBanner + 1) + ".png");
            if (!DrawBanner(captions, nBanner, output)) {
                std::cerr << "banners: cannot write " << output << "\n";
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string strMode = argc > 1 ? argv[1] : "";
    if (strMode == "banners" && argc >= 3) return MakeBanners(argv[2], argc - 3, argv + 3);
    if (strMode == "icon" && argc == 4) return DrawIcon(argv[2], std::stoi(argv[3])) ? 0 : 1;
    std::cerr << "usage: norvane-banners banners OUT_DIR CAPTION_FILE... | icon OUT.png SIZE\n";
    return 2;
}
