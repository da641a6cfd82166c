#pragma once
// A manager stand-in for the fuzz targets: two fonts, every image name gives one small image.
#include <cstdlib>
#include <memory>

#include "ui/core/RenderEngine.h"

class CFuzzResources : public IRenderResources {
public:
    CFuzzResources() {
        // The repository's test fonts, so runs do not depend on the machine.
        setenv("FONTCONFIG_FILE", NORVANE_SOURCE_DIR "/tests/data/fonts/fonts.conf", 0);
        m_hDefault = platform::CreateFontHandle(L"DejaVu Sans", 13, false, false, false);
        m_hOther = platform::CreateFontHandle(L"DejaVu Sans", 20, true, false, false);
        m_pImage = new ImageRecord;
        m_pImage->pBitmap = platform::CBitmap::Create(12, 9);
        m_pImage->pPixels = m_pImage->pBitmap->Pixels();
        m_pImage->nWidth = 12;
        m_pImage->nHeight = 9;
        m_pImage->bHasAlpha = true;
    }
    ~CFuzzResources() override {
        for (int i = 0; i < m_nAdded; ++i) platform::DeleteFontHandle(m_added[i]);
        platform::DeleteFontHandle(m_hDefault);
        platform::DeleteFontHandle(m_hOther);
        CRenderKit::FreeImageRecord(m_pImage, true);
    }

    ImageRecord* FetchImage(const wchar_t* pName, const wchar_t*, uint32_t, bool) override {
        return (pName && *pName && *pName != L'x') ? m_pImage : nullptr;
    }
    platform::FontHandle GetFont(int nId) override { return nId == 1 ? m_hOther : m_hDefault; }
    platform::FontHandle LookupFont(const wchar_t*, int, bool, bool, bool) override { return nullptr; }
    platform::FontHandle AddFont(int, const wchar_t* pFace, int nSize, bool bBold, bool bUnderline, bool bItalic,
                                 bool) override {
        // Markup may ask for any size; the table keeps a bounded number of them.
        if (m_nAdded >= kMaxAdded) return m_hOther;
        platform::FontHandle hFont =
            platform::CreateFontHandle(pFace, nSize > 200 ? 200 : nSize, bBold, bUnderline, bItalic);
        if (hFont) m_added[m_nAdded++] = hFont;
        return hFont;
    }
    uint32_t GetDefaultLinkFontColor() const override { return 0xFF0000FF; }
    uint32_t GetDefaultLinkHoverFontColor() const override { return 0xFFD3215F; }
    uint32_t GetDefaultSelectedBkColor() const override { return 0xFFBAE4FF; }
    void ExpandLanguageRefs(CUIString& strText) const override { strText.Replace(L"%{1}", L"text one"); }
    POINT GetMousePos() const override { return POINT{10, 10}; }

private:
    static constexpr int kMaxAdded = 64;
    platform::FontHandle m_hDefault = nullptr;
    platform::FontHandle m_hOther = nullptr;
    platform::FontHandle m_added[kMaxAdded] = {};
    int m_nAdded = 0;
    ImageRecord* m_pImage = nullptr;
};
