#pragma once
// Fixtures of the rendering tests: the repository's fonts, a manager stand-in and reference
// image comparison.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "platform/Canvas.h"
#include "ui/core/RenderEngine.h"

namespace rendertest {

// Points fontconfig at tests/data/fonts; must run before the first text call.
void UseRepositoryFonts();

// What the render engine asks of a window's manager, with tables held in plain maps.
class CFakeResources : public IRenderResources {
public:
    CFakeResources();
    ~CFakeResources() override;

    void SetFont(int nId, const wchar_t* pFace, int nSize, bool bBold = false, bool bUnderline = false,
                 bool bItalic = false);
    // Takes ownership; a record under the same name is freed.
    void SetImage(const std::wstring& strName, ImageRecord* pRecord);
    void SetLanguageString(int nId, const std::wstring& strText) { m_languageStrings[nId] = strText; }
    int FetchCount() const { return m_nFetchCount; }

    ImageRecord* FetchImage(const wchar_t* pName, const wchar_t* pResType, uint32_t dwMask,
                            bool bKeepPixels) override;
    platform::FontHandle GetFont(int nId) override;
    platform::FontHandle LookupFont(const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                    bool bItalic) override;
    platform::FontHandle AddFont(int nId, const wchar_t* pFace, int nSize, bool bBold, bool bUnderline, bool bItalic,
                                 bool bShared) override;
    uint32_t GetDefaultLinkFontColor() const override { return 0xFF0000FF; }
    uint32_t GetDefaultLinkHoverFontColor() const override { return 0xFFD3215F; }
    uint32_t GetDefaultSelectedBkColor() const override { return 0xFFBAE4FF; }
    void ExpandLanguageRefs(CUIString& strText) const override;
    POINT GetMousePos() const override { return m_ptMouse; }

    POINT m_ptMouse{-1, -1};

private:
    std::map<int, platform::FontHandle> m_fonts;
    platform::FontHandle m_hDefaultFont = nullptr;
    std::map<std::wstring, ImageRecord*> m_images;
    std::map<int, std::wstring> m_languageStrings;
    int m_nFetchCount = 0;
};

// A bitmap filled with one colour.
std::unique_ptr<platform::CBitmap> MakeBitmap(int nWidth, int nHeight, uint32_t dwColor = 0xFFFFFFFF);

// Compares with tests/render/reference/NAME.png (per channel within nTolerance, at most
// dMaxBadShare of the pixels off). The render is written to the build tree for review;
// NORVANE_UPDATE_REFERENCES=1 writes it as the new reference.
::testing::AssertionResult MatchesReference(const platform::CBitmap& bitmap, const std::string& strName,
                                            int nTolerance = 24, double dMaxBadShare = 0.01);

std::string ToHex(uint32_t dwValue);

}  // namespace rendertest
