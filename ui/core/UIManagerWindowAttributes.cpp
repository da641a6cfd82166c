#include <cwchar>

#include "ui/core/RenderEngine.h"
#include "ui/core/UIManager.h"

namespace {

// Reads up to nCount decimal numbers, each starting one character after the end of the
// previous one, so any single separator works. Numbers missing at the end stay 0.
void ReadNumbers(const wchar_t* pValue, long* pNumbers, int nCount)
{
    const wchar_t* p = pValue;
    for (int i = 0; i < nCount; ++i) {
        pNumbers[i] = 0;
    }
    for (int i = 0; i < nCount && p != nullptr && *p != L'\0'; ++i) {
        wchar_t* pEnd = nullptr;
        pNumbers[i] = std::wcstol(p, &pEnd, 10);
        if (*pEnd == L'\0') {
            break;
        }
        p = pEnd + 1;
    }
}

int ClampToInt(long nValue)
{
    if (nValue > INT32_MAX) {
        return INT32_MAX;
    }
    if (nValue < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int>(nValue);
}

SIZE ReadSize(const wchar_t* pValue)
{
    long numbers[2];
    ReadNumbers(pValue, numbers, 2);
    return SIZE{ClampToInt(numbers[0]), ClampToInt(numbers[1])};
}

RECT ReadRect(const wchar_t* pValue)
{
    long numbers[4];
    ReadNumbers(pValue, numbers, 4);
    return RECT{ClampToInt(numbers[0]), ClampToInt(numbers[1]), ClampToInt(numbers[2]), ClampToInt(numbers[3])};
}

uint32_t ReadColor(const wchar_t* pValue)
{
    if (*pValue == L'#') {
        ++pValue;
    }
    return static_cast<uint32_t>(std::wcstoul(pValue, nullptr, 16));
}

uint8_t ReadOpacity(const wchar_t* pValue)
{
    const long nValue = std::wcstol(pValue, nullptr, 10);
    return static_cast<uint8_t>(nValue < 0 ? 0 : (nValue > 255 ? 255 : nValue));
}

bool IsTrue(const wchar_t* pValue)
{
    return CUIString(pValue).CompareNoCase(L"true") == 0;
}

}  // namespace

void CUIManager::SetInitSize(int cx, int cy)
{
    m_szInitWindowSize = SIZE{cx, cy};
}

void CUIManager::ApplyOpacity(uint8_t nOpacity)
{
    m_nOpacity = nOpacity;
    m_bLayered = false;
}

void CUIManager::SetLayeredOpacity(uint8_t nOpacity)
{
    m_nOpacity = nOpacity;
    m_bLayeredChanged = true;
}

void CUIManager::SwitchLayered(bool bLayered)
{
    if (m_bLayered != bLayered) {
        m_bLayered = bLayered;
        m_bLayeredChanged = true;
    }
}

void CUIManager::ApplyWindowAttribute(const wchar_t* pName, const wchar_t* pValue)
{
    if (pName == nullptr || pValue == nullptr) {
        return;
    }
    const CUIString strName(pName);
    if (strName.CompareNoCase(L"size") == 0) {
        const SIZE size = ReadSize(pValue);
        SetInitSize(size.cx, size.cy);
    } else if (strName.CompareNoCase(L"sizebox") == 0) {
        m_rcSizeBox = ReadRect(pValue);
    } else if (strName.CompareNoCase(L"caption") == 0) {
        m_rcCaption = ReadRect(pValue);
    } else if (strName.CompareNoCase(L"roundcorner") == 0) {
        m_szRoundCorner = ReadSize(pValue);
    } else if (strName.CompareNoCase(L"mininfo") == 0) {
        m_szMinWindow = ReadSize(pValue);
    } else if (strName.CompareNoCase(L"maxinfo") == 0) {
        m_szMaxWindow = ReadSize(pValue);
    } else if (strName.CompareNoCase(L"showdirty") == 0) {
        m_bShowDirty = IsTrue(pValue);
    } else if (strName == L"noactivate") {
        m_bNoActivate = IsTrue(pValue);
    } else if (strName.CompareNoCase(L"opacity") == 0) {
        ApplyOpacity(ReadOpacity(pValue));
    } else if (strName == L"layeredopacity") {
        SetLayeredOpacity(ReadOpacity(pValue));
    } else if (strName == L"layeredimage") {
        SwitchLayered(true);
        m_layeredImage.SetDrawString(pValue);
        const RECT rcEmpty{};
        CRenderKit::DrawImageDesc(nullptr, this, rcEmpty, rcEmpty, m_layeredImage);
    } else if (strName.CompareNoCase(L"disabledfontcolor") == 0) {
        m_colors.dwDisabled = ReadColor(pValue);
    } else if (strName.CompareNoCase(L"defaultfontcolor") == 0) {
        m_colors.dwText = ReadColor(pValue);
    } else if (strName.CompareNoCase(L"linkfontcolor") == 0) {
        m_colors.dwLink = ReadColor(pValue);
    } else if (strName.CompareNoCase(L"linkhoverfontcolor") == 0) {
        m_colors.dwLinkHover = ReadColor(pValue);
    } else if (strName.CompareNoCase(L"selectedcolor") == 0) {
        m_colors.dwSelectedBk = ReadColor(pValue);
    } else {
        AddWindowCustomAttribute(pName, pValue);
    }
}
