#include <gtest/gtest.h>

#include "tests/render/RenderTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/Text.h"
#include "tests/support/Sandbox.h"

namespace rendertest {

void UseRepositoryFonts() {
    static const bool s_bDone = [] {
        setenv("FONTCONFIG_FILE", testsupport::SourcePath("tests/data/fonts/fonts.conf").c_str(), 1);
        return true;
    }();
    (void)s_bDone;
}

CFakeResources::CFakeResources() {
    UseRepositoryFonts();
    m_hDefaultFont = platform::CreateFontHandle(L"DejaVu Sans", 14, false, false, false);
}

CFakeResources::~CFakeResources() {
    for (auto& entry : m_fonts) platform::DeleteFontHandle(entry.second);
    platform::DeleteFontHandle(m_hDefaultFont);
    for (auto& entry : m_images) CRenderKit::FreeImageRecord(entry.second, true);
}

void CFakeResources::SetFont(int nId, const wchar_t* pFace, int nSize, bool bBold, bool bUnderline, bool bItalic) {
    AddFont(nId, pFace, nSize, bBold, bUnderline, bItalic, false);
}

void CFakeResources::SetImage(const std::wstring& strName, ImageRecord* pRecord) {
    auto it = m_images.find(strName);
    if (it != m_images.end()) {
        CRenderKit::FreeImageRecord(it->second, true);
        m_images.erase(it);
    }
    if (pRecord) m_images[strName] = pRecord;
}

ImageRecord* CFakeResources::FetchImage(const wchar_t* pName, const wchar_t* pResType, uint32_t dwMask,
                                        bool bKeepPixels) {
    ++m_nFetchCount;
    auto it = m_images.find(pName);
    if (it != m_images.end()) return it->second;
    ImageRecord* pRecord = CRenderKit::LoadImageData(pName, pResType, dwMask);
    if (!pRecord) return nullptr;
    if (bKeepPixels) CRenderKit::KeepImagePixels(pRecord);
    m_images[pName] = pRecord;
    return pRecord;
}

platform::FontHandle CFakeResources::GetFont(int nId) {
    auto it = m_fonts.find(nId);
    return (nId >= 0 && it != m_fonts.end()) ? it->second : m_hDefaultFont;
}

platform::FontHandle CFakeResources::LookupFont(const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                                bool bItalic) {
    for (auto* hFont : {m_hDefaultFont}) {
        platform::StockFontDesc desc;
        platform::GetFontDesc(hFont, desc);
        if (desc.strFace == pFace && desc.nSizePx == nSize && desc.bBold == bBold && desc.bUnderline == bUnderline &&
            desc.bItalic == bItalic)
            return hFont;
    }
    for (auto& entry : m_fonts) {
        platform::StockFontDesc desc;
        platform::GetFontDesc(entry.second, desc);
        if (desc.strFace == pFace && desc.nSizePx == nSize && desc.bBold == bBold && desc.bUnderline == bUnderline &&
            desc.bItalic == bItalic)
            return entry.second;
    }
    return nullptr;
}

platform::FontHandle CFakeResources::AddFont(int nId, const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                             bool bItalic, bool) {
    platform::FontHandle hFont = platform::CreateFontHandle(pFace, nSize, bBold, bUnderline, bItalic);
    if (!hFont) return nullptr;
    auto it = m_fonts.find(nId);
    if (it != m_fonts.end()) platform::DeleteFontHandle(it->second);
    m_fonts[nId] = hFont;
    return hFont;
}

void CFakeResources::ExpandLanguageRefs(CUIString& strText) const {
    for (const auto& entry : m_languageStrings) {
        CUIString strRef;
        strRef.Format(L"%%{%d}", entry.first);
        strText.Replace(strRef.GetData(), entry.second.c_str());
    }
}

std::unique_ptr<platform::CBitmap> MakeBitmap(int nWidth, int nHeight, uint32_t dwColor) {
    auto pBitmap = platform::CBitmap::Create(nWidth, nHeight);
    platform::CCanvas canvas(*pBitmap);
    canvas.FillRect(RECT{0, 0, nWidth, nHeight}, dwColor);
    return pBitmap;
}

std::string ToHex(uint32_t dwValue) {
    char szText[16];
    std::snprintf(szText, sizeof szText, "%08X", dwValue);
    return szText;
}

::testing::AssertionResult MatchesReference(const platform::CBitmap& bitmap, const std::string& strName,
                                            int nTolerance, double dMaxBadShare) {
    namespace fs = std::filesystem;
    const std::string strReference = testsupport::SourcePath("tests/render/reference/" + strName + ".png");
    const fs::path outFolder = fs::path(testsupport::BinaryPath("tests/render/out"));
    std::error_code error;
    fs::create_directories(outFolder, error);
    bitmap.SavePng((outFolder / (strName + ".png")).string());
    const char* pUpdate = std::getenv("NORVANE_UPDATE_REFERENCES");
    if (pUpdate && std::string(pUpdate) == "1") {
        bitmap.SavePng(strReference);
        return ::testing::AssertionSuccess();
    }
    auto pReference = platform::CBitmap::LoadPng(strReference);
    if (!pReference) return ::testing::AssertionFailure() << "no reference image " << strReference;
    if (pReference->Width() != bitmap.Width() || pReference->Height() != bitmap.Height())
        return ::testing::AssertionFailure() << strName << ": size differs from the reference";
    int nBad = 0;
    int nWorst = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const uint32_t a = bitmap.GetPixel(x, y);
            const uint32_t b = pReference->GetPixel(x, y);
            int nDiff = 0;
            for (int nShift = 0; nShift < 32; nShift += 8)
                nDiff = std::max(nDiff, std::abs(int((a >> nShift) & 0xFF) - int((b >> nShift) & 0xFF)));
            nWorst = std::max(nWorst, nDiff);
            if (nDiff > nTolerance) ++nBad;
        }
    }
    const double dShare = double(nBad) / (double(bitmap.Width()) * bitmap.Height());
    if (dShare > dMaxBadShare)
        return ::testing::AssertionFailure() << strName << ": " << nBad << " pixels differ (worst by " << nWorst << ")";
    return ::testing::AssertionSuccess();
}

}  // namespace rendertest

