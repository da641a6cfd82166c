// One full repaint of the installer-sized window (650 by 360) with typical skin content:
// an opaque background, a banner, nine-grid buttons with alpha, a check box, an edit frame,
// a gradient, plain texts and the formatted licence line. Target: under 3 ms per frame.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "ui/core/RenderEngine.h"

namespace {

class CBenchResources : public IRenderResources {
public:
    CBenchResources() {
        m_fonts[-1] = platform::CreateFontHandle(L"Segoe UI", 12, false, false, false);
        m_fonts[0] = platform::CreateFontHandle(L"Segoe UI", 14, false, false, false);
        m_fonts[1] = platform::CreateFontHandle(L"Segoe UI", 18, true, false, false);
        m_fonts[2] = platform::CreateFontHandle(L"Segoe UI", 12, false, true, false);
        AddSolid(L"bk.png", 650, 360, 0xFFF4F6FA, 0);
        AddSolid(L"banner.png", 650, 290, 0xFF3060B0, 0);
        AddSolid(L"btn_install.png", 140, 40, 0xFF2F80ED, 8);
        AddSolid(L"btn_sys.png", 28, 28, 0xE0FFFFFF, 4);
        AddSolid(L"check.png", 16, 16, 0xC0308030, 3);
        AddSolid(L"edit_bk.png", 30, 30, 0xFFFFFFFF, 3);
    }
    ~CBenchResources() override {
        for (auto& entry : m_fonts) platform::DeleteFontHandle(entry.second);
        for (auto& entry : m_images) CRenderKit::FreeImageRecord(entry.second, true);
    }

    ImageRecord* FetchImage(const wchar_t* pName, const wchar_t*, uint32_t, bool) override {
        auto it = m_images.find(pName);
        return it == m_images.end() ? nullptr : it->second;
    }
    platform::FontHandle GetFont(int nId) override {
        auto it = m_fonts.find(nId);
        return it == m_fonts.end() ? m_fonts[-1] : it->second;
    }
    platform::FontHandle LookupFont(const wchar_t*, int nSize, bool, bool bUnderline, bool) override {
        return (nSize == 12 && bUnderline) ? m_fonts[2] : nullptr;
    }
    platform::FontHandle AddFont(int nId, const wchar_t* pFace, int nSize, bool bBold, bool bUnderline, bool bItalic,
                                 bool) override {
        platform::FontHandle hFont = platform::CreateFontHandle(pFace, nSize, bBold, bUnderline, bItalic);
        m_fonts[nId] = hFont;
        return hFont;
    }
    uint32_t GetDefaultLinkFontColor() const override { return 0xFF0000FF; }
    uint32_t GetDefaultLinkHoverFontColor() const override { return 0xFFD3215F; }
    uint32_t GetDefaultSelectedBkColor() const override { return 0xFFBAE4FF; }
    void ExpandLanguageRefs(CUIString&) const override {}
    POINT GetMousePos() const override { return POINT{-1, -1}; }

private:
    // An image with a darker frame of nBorder pixels, so that nine-grid parts differ.
    void AddSolid(const wchar_t* pName, int nWidth, int nHeight, uint32_t dwColor, int nBorder) {
        auto* pRecord = new ImageRecord;
        pRecord->pBitmap = platform::CBitmap::Create(nWidth, nHeight);
        {
            platform::CCanvas canvas(*pRecord->pBitmap);
            canvas.FillRect(RECT{0, 0, nWidth, nHeight}, dwColor);
            if (nBorder > 0) canvas.StrokeRect(RECT{0, 0, nWidth, nHeight}, nBorder, 0xFF203040, PS_SOLID);
        }
        pRecord->pPixels = pRecord->pBitmap->Pixels();
        pRecord->nWidth = nWidth;
        pRecord->nHeight = nHeight;
        pRecord->bHasAlpha = (dwColor >> 24) != 0xFF;
        m_images[pName] = pRecord;
    }

    std::map<int, platform::FontHandle> m_fonts;
    std::map<std::wstring, ImageRecord*> m_images;
};

struct Frame {
    ImageDrawDesc background;
    ImageDrawDesc banner;
    ImageDrawDesc install;
    ImageDrawDesc close;
    ImageDrawDesc minimize;
    ImageDrawDesc check;
    ImageDrawDesc edit;
    RECT rcLinks[8];
    CUIString linkTargets[8];

    Frame() {
        background.SetDrawString(L"bk.png");
        banner.SetDrawString(L"file='banner.png' dest='0,30,650,320'");
        install.SetDrawString(L"file='btn_install.png' corner='10,10,10,10'");
        close.SetDrawString(L"file='btn_sys.png' corner='6,6,6,6'");
        minimize.SetDrawString(L"file='btn_sys.png' corner='6,6,6,6' fade='200'");
        check.SetDrawString(L"file='check.png' dest='0,2,16,18'");
        edit.SetDrawString(L"file='edit_bk.png' corner='4,4,4,4'");
    }

    void Paint(platform::CCanvas& canvas, CBenchResources& resources) {
        const RECT rcWindow{0, 0, 650, 360};
        CRenderKit::DrawImageDesc(&canvas, &resources, rcWindow, rcWindow, background);
        CRenderKit::FillGradient(canvas, RECT{0, 0, 650, 30}, 0xFF1C3F7A, 0xFF2F62B8, true, 64);
        RECT rcTitle{12, 0, 400, 30};
        CRenderKit::DrawPlainText(&canvas, &resources, rcTitle, L"Norvane Vellumpod Setup", 0xFFFFFFFF, 0,
                                  DT_SINGLELINE | DT_VCENTER);
        CRenderKit::DrawImageDesc(&canvas, &resources, RECT{590, 1, 618, 29}, rcWindow, minimize);
        CRenderKit::DrawImageDesc(&canvas, &resources, RECT{620, 1, 648, 29}, rcWindow, close);
        CRenderKit::DrawImageDesc(&canvas, &resources, rcWindow, rcWindow, banner);
        platform::ClipRecord clip;
        CRenderKit::ClipToRect(canvas, RECT{0, 320, 650, 360}, clip);
        CRenderKit::DrawImageDesc(&canvas, &resources, RECT{20, 326, 36, 346}, rcWindow, check);
        RECT rcLicence{40, 320, 420, 350};
        int nLinks = 8;
        CRenderKit::DrawMarkupText(&canvas, &resources, rcLicence,
                                   L"I have read and accept the <u><a https://www.norvane.com/licence>licence "
                                   L"agreement</a></u>",
                                   0xFF333333, rcLinks, linkTargets, nLinks, -1, DT_SINGLELINE | DT_VCENTER);
        CRenderKit::RestoreClip(canvas, clip);
        CRenderKit::DrawImageDesc(&canvas, &resources, RECT{490, 315, 630, 355}, rcWindow, install);
        RECT rcInstall{490, 315, 630, 355};
        CRenderKit::DrawPlainText(&canvas, &resources, rcInstall, L"Install now", 0xFFFFFFFF, 1,
                                  DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        CRenderKit::DrawImageDesc(&canvas, &resources, RECT{120, 250, 480, 278}, rcWindow, edit);
        RECT rcPath{126, 250, 474, 278};
        CRenderKit::DrawPlainText(&canvas, &resources, rcPath, L"/opt/Norvane/Vellumpod", 0xFF000000, -1,
                                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        RECT rcCaption{20, 250, 118, 278};
        CRenderKit::DrawPlainText(&canvas, &resources, rcCaption, L"Install to:", 0xFFFFFFFF, -1,
                                  DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        CRenderKit::StrokeRect(canvas, RECT{120, 250, 480, 278}, 1, 0xFFA0A8B8);
    }
};

void BM_RenderFrame(benchmark::State& state) {
    CBenchResources resources;
    auto pBitmap = platform::CBitmap::Create(650, 360);
    Frame frame;
    for (auto _ : state) {
        platform::CCanvas canvas(*pBitmap);
        frame.Paint(canvas, resources);
        benchmark::DoNotOptimize(pBitmap->Pixels());
    }
    state.counters["frames_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
