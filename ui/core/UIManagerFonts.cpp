#include <string>

#include "ui/core/UIManager.h"
#include "ui/core/UIManagerShared.h"

namespace {

// The face field of a classic font description holds 32 characters with its terminator.
constexpr int kMaxFaceLength = 31;

std::wstring FontKey(int nId)
{
    return std::to_wstring(nId);
}

bool SameFont(const FontRecord& record, const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
              bool bItalic)
{
    return record.strFaceName == pFace && record.nSize == nSize && record.bBold == bBold &&
           record.bUnderline == bUnderline && record.bItalic == bItalic;
}

}  // namespace

// Fonts start from the stock interface font: its underline and italic stay unless asked for.
FontRecord* CUIManager::CreateFontRecord(const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                         bool bItalic)
{
    const platform::StockFontDesc stock = platform::GetStockGuiFontDesc();
    const CUIString strFace = CUIString(pFace).Left(kMaxFaceLength);
    const bool bFontBold = bBold || stock.bBold;
    const bool bFontUnderline = bUnderline || stock.bUnderline;
    const bool bFontItalic = bItalic || stock.bItalic;
    const platform::FontHandle hFont =
        platform::CreateFontHandle(strFace.GetData(), nSize, bFontBold, bFontUnderline, bFontItalic);
    if (hFont == nullptr) {
        return nullptr;
    }
    FontRecord* pRecord = new FontRecord;
    pRecord->hFont = hFont;
    pRecord->strFaceName = strFace;
    pRecord->nSize = nSize;
    pRecord->bBold = bBold;
    pRecord->bUnderline = bUnderline;
    pRecord->bItalic = bItalic;
    return pRecord;
}

void CUIManager::FreeFontRecord(FontRecord* pRecord)
{
    if (pRecord == nullptr) {
        return;
    }
    platform::DeleteFontHandle(pRecord->hFont);
    pRecord->hFont = nullptr;
}

void CUIManager::FreeFontTable(CUIStringMap& table)
{
    table.ForEach([](const CUIString&, void* pValue) {
        FontRecord* pRecord = static_cast<FontRecord*>(pValue);
        FreeFontRecord(pRecord);
        delete pRecord;
    });
    table.RemoveAll();
}

void CUIManager::MeasureFont(FontRecord& record)
{
    if (!record.bMetricsMeasured && record.hFont != nullptr) {
        record.bMetricsMeasured = platform::GetFontTextMetrics(record.hFont, record.tm);
    }
}

CUIStringMap& CUIManager::TableFor(CUIStringMap& windowTable, CUIStringMap& sharedTable, bool bShared) const
{
    return bShared || m_bForceShared ? sharedTable : windowTable;
}

platform::FontHandle CUIManager::AddFont(int nId, const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                         bool bItalic, bool bShared)
{
    FontRecord* pRecord = CreateFontRecord(pFace, nSize, bBold, bUnderline, bItalic);
    if (pRecord == nullptr) {
        return nullptr;
    }
    CUIStringMap& table = TableFor(m_fonts, Shared().fonts, bShared);
    const std::wstring strKey = FontKey(nId);
    FontRecord* pOld = static_cast<FontRecord*>(table.Find(strKey.c_str()));
    if (pOld != nullptr) {
        table.Remove(strKey.c_str());
        FreeFontRecord(pOld);
        delete pOld;
    }
    if (!table.Insert(strKey.c_str(), pRecord)) {
        FreeFontRecord(pRecord);
        delete pRecord;
        return nullptr;
    }
    return pRecord->hFont;
}

platform::FontHandle CUIManager::GetFont(int nId)
{
    return GetFontRecord(nId)->hFont;
}

// Faces are stored cut to their field's length; a longer face must still find its font, or
// formatted text would add a new font on every draw.
platform::FontHandle CUIManager::LookupFont(const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                            bool bItalic)
{
    const CUIString strFace = CUIString(pFace).Left(kMaxFaceLength);
    for (CUIStringMap* pTable : {&m_fonts, &Shared().fonts}) {
        platform::FontHandle hFound = nullptr;
        pTable->ForEach([&](const CUIString&, void* pValue) {
            const FontRecord* pRecord = static_cast<const FontRecord*>(pValue);
            if (hFound == nullptr && SameFont(*pRecord, strFace, nSize, bBold, bUnderline, bItalic)) {
                hFound = pRecord->hFont;
            }
        });
        if (hFound != nullptr) {
            return hFound;
        }
    }
    return nullptr;
}

FontRecord* CUIManager::GetFontRecord(int nId)
{
    FontRecord* pRecord = nullptr;
    if (nId >= 0) {
        const std::wstring strKey = FontKey(nId);
        pRecord = static_cast<FontRecord*>(m_fonts.Find(strKey.c_str()));
        if (pRecord == nullptr) {
            pRecord = static_cast<FontRecord*>(Shared().fonts.Find(strKey.c_str()));
        }
    }
    if (pRecord == nullptr) {
        return GetDefaultFontRecord();
    }
    MeasureFont(*pRecord);
    return pRecord;
}

FontRecord* CUIManager::FindFontRecord(platform::FontHandle hFont)
{
    for (CUIStringMap* pTable : {&m_fonts, &Shared().fonts}) {
        FontRecord* pFound = nullptr;
        pTable->ForEach([&](const CUIString&, void* pValue) {
            FontRecord* pRecord = static_cast<FontRecord*>(pValue);
            if (pFound == nullptr && pRecord->hFont == hFont) {
                pFound = pRecord;
            }
        });
        if (pFound != nullptr) {
            return pFound;
        }
    }
    return nullptr;
}

FontRecord* CUIManager::GetFontRecord(platform::FontHandle hFont)
{
    FontRecord* pRecord = hFont != nullptr ? FindFontRecord(hFont) : nullptr;
    if (pRecord == nullptr) {
        return GetDefaultFontRecord();
    }
    MeasureFont(*pRecord);
    return pRecord;
}

void CUIManager::ReplaceDefaultFont(const wchar_t* pFace, int nSize, bool bBold, bool bUnderline, bool bItalic,
                                    bool bShared)
{
    FontRecord* pRecord = CreateFontRecord(pFace, nSize, bBold, bUnderline, bItalic);
    if (pRecord == nullptr) {
        return;
    }
    FontRecord& target = bShared ? Shared().defaultFont : m_defaultFont;
    FreeFontRecord(&target);
    target = *pRecord;
    delete pRecord;
}

FontRecord* CUIManager::GetDefaultFontRecord()
{
    FontRecord& record = m_defaultFont.strFaceName.IsEmpty() ? Shared().defaultFont : m_defaultFont;
    MeasureFont(record);
    return &record;
}

void CUIManager::RemoveAllFonts(bool bShared)
{
    FreeFontTable(bShared ? Shared().fonts : m_fonts);
}
