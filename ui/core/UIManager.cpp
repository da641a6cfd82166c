#include "ui/core/UIManager.h"

#include "ui/core/UIManagerShared.h"

namespace {

constexpr int kOptionGroupCapacity = 6;

}  // namespace

// The first manager sets up the process default font from the stock interface font.
CUIManager::CUIManager()
{
    CSharedResources& shared = Shared();
    if (shared.defaultFont.strFaceName.IsEmpty()) {
        const platform::StockFontDesc stock = platform::GetStockGuiFontDesc();
        shared.colors = WindowColors();
        shared.defaultFont.hFont = platform::CreateFontHandle(stock.strFace.c_str(), stock.nSizePx, stock.bBold,
                                                              stock.bUnderline, stock.bItalic);
        shared.defaultFont.strFaceName = stock.strFace.c_str();
        shared.defaultFont.nSize = stock.nSizePx;
        shared.defaultFont.bBold = stock.bBold;
        shared.defaultFont.bUnderline = stock.bUnderline;
        shared.defaultFont.bItalic = stock.bItalic;
    }
    m_colors = shared.colors;
}

CUIManager::~CUIManager()
{
    ResetWindowResources();
    FreeFontRecord(&m_defaultFont);
}

void CUIManager::ResetWindowResources()
{
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllDefaultAttributes(false);
    RemoveAllWindowCustomAttributes();
    RemoveAllOptionGroups();
}

void CUIManager::FreeAttributeTable(CUIStringMap& table)
{
    table.ForEach([](const CUIString&, void* pValue) { delete static_cast<CUIString*>(pValue); });
    table.RemoveAll();
}

void CUIManager::AddDefaultAttributes(const wchar_t* pControlName, const wchar_t* pAttributeList, bool bShared)
{
    if (pControlName == nullptr || pControlName[0] == L'\0') {
        return;
    }
    CUIStringMap& table = TableFor(m_defaultAttributes, Shared().defaultAttributes, bShared);
    delete static_cast<CUIString*>(table.Set(pControlName, new CUIString(pAttributeList)));
}

const wchar_t* CUIManager::GetDefaultAttributes(const wchar_t* pControlName) const
{
    const CUIString* pList = static_cast<const CUIString*>(m_defaultAttributes.Find(pControlName));
    if (pList == nullptr) {
        pList = static_cast<const CUIString*>(Shared().defaultAttributes.Find(pControlName));
    }
    return pList != nullptr ? pList->GetData() : nullptr;
}

void CUIManager::RemoveAllDefaultAttributes(bool bShared)
{
    FreeAttributeTable(bShared ? Shared().defaultAttributes : m_defaultAttributes);
}

void CUIManager::SetColor(uint32_t WindowColors::*pColor, uint32_t dwColor, bool bShared)
{
    if (bShared) {
        uint32_t& dwShared = Shared().colors.*pColor;
        if (m_colors.*pColor == dwShared) {
            m_colors.*pColor = dwColor;
        }
        dwShared = dwColor;
        return;
    }
    m_colors.*pColor = dwColor;
}

void CUIManager::SetDefaultDisabledColor(uint32_t dwColor, bool bShared)
{
    SetColor(&WindowColors::dwDisabled, dwColor, bShared);
}

void CUIManager::SetDefaultFontColor(uint32_t dwColor, bool bShared)
{
    SetColor(&WindowColors::dwText, dwColor, bShared);
}

void CUIManager::SetDefaultLinkFontColor(uint32_t dwColor, bool bShared)
{
    SetColor(&WindowColors::dwLink, dwColor, bShared);
}

void CUIManager::SetDefaultLinkHoverFontColor(uint32_t dwColor, bool bShared)
{
    SetColor(&WindowColors::dwLinkHover, dwColor, bShared);
}

void CUIManager::SetDefaultSelectedBkColor(uint32_t dwColor, bool bShared)
{
    SetColor(&WindowColors::dwSelectedBk, dwColor, bShared);
}

void CUIManager::AddWindowCustomAttribute(const wchar_t* pName, const wchar_t* pValue)
{
    if (pName == nullptr || pName[0] == L'\0' || pValue == nullptr || pValue[0] == L'\0') {
        return;
    }
    if (!m_windowCustomAttributes.Contains(pName)) {
        m_windowCustomAttributes.Insert(pName, new CUIString(pValue));
    }
}

const wchar_t* CUIManager::GetWindowCustomAttribute(const wchar_t* pName) const
{
    const CUIString* pValue = static_cast<const CUIString*>(m_windowCustomAttributes.Find(pName));
    return pValue != nullptr ? pValue->GetData() : nullptr;
}

void CUIManager::RemoveAllWindowCustomAttributes()
{
    FreeAttributeTable(m_windowCustomAttributes);
}

bool CUIManager::AddOptionGroup(const wchar_t* pGroupName, CControlUI* pControl)
{
    if (pGroupName == nullptr) {
        return false;
    }
    CUIPtrArray* pGroup = static_cast<CUIPtrArray*>(m_optionGroups.Find(pGroupName));
    if (pGroup == nullptr) {
        pGroup = new CUIPtrArray(kOptionGroupCapacity);
        m_optionGroups.Insert(pGroupName, pGroup);
    } else if (pGroup->Find(pControl) >= 0) {
        return false;
    }
    return pGroup->Add(pControl);
}

CUIPtrArray* CUIManager::GetOptionGroup(const wchar_t* pGroupName)
{
    return static_cast<CUIPtrArray*>(m_optionGroups.Find(pGroupName));
}

void CUIManager::RemoveOptionGroup(const wchar_t* pGroupName, CControlUI* pControl)
{
    CUIPtrArray* pGroup = GetOptionGroup(pGroupName);
    if (pGroup == nullptr) {
        return;
    }
    const int nIndex = pGroup->Find(pControl);
    if (nIndex >= 0) {
        pGroup->Remove(nIndex);
    }
    if (pGroup->IsEmpty()) {
        m_optionGroups.Remove(pGroupName);
        delete pGroup;
    }
}

void CUIManager::RemoveAllOptionGroups()
{
    m_optionGroups.ForEach([](const CUIString&, void* pValue) { delete static_cast<CUIPtrArray*>(pValue); });
    m_optionGroups.RemoveAll();
}
