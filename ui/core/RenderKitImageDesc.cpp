#include <algorithm>
#include <cstring>
#include <cwctype>

#include "ui/core/RenderEngine.h"

namespace {

// Bounds every number read from a skin string, so that offsets and sizes built from it
// cannot overflow.
constexpr long kNumberLimit = 1000000;

bool IsSpace(wchar_t ch) { return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n'; }

// A decimal number at p (leading blanks, optional sign), clamped; p moves past it.
long ReadDecimal(const wchar_t*& p) {
    while (IsSpace(*p)) ++p;
    bool bNegative = false;
    if (*p == L'-' || *p == L'+') bNegative = (*p++ == L'-');
    long nValue = 0;
    while (*p >= L'0' && *p <= L'9') {
        nValue = std::min(kNumberLimit, nValue * 10 + (*p - L'0'));
        ++p;
    }
    return bNegative ? -nValue : nValue;
}

// Four numbers, each starting one character after the end of the previous one.
RECT ReadRect(const wchar_t* p) {
    long values[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        values[i] = ReadDecimal(p);
        if (!*p) break;
        ++p;
    }
    return RECT{int32_t(values[0]), int32_t(values[1]), int32_t(values[2]), int32_t(values[3])};
}

uint32_t ReadHexColor(const wchar_t* p) {
    if (*p == L'#') ++p;
    uint32_t dwValue = 0;
    for (; std::iswxdigit(*p); ++p) {
        const uint32_t nDigit = (*p <= L'9') ? uint32_t(*p - L'0') : uint32_t((*p | 0x20) - L'a' + 10);
        dwValue = (dwValue << 4) | nDigit;
    }
    return dwValue;
}

bool IsZero(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

void ApplyPair(ImageDrawDesc& desc, const CUIString& strKey, const CUIString& strValue, CUIString& strResType,
               bool& bResOrColor, bool& bColor) {
    const wchar_t* pValue = strValue.GetData();
    if (strKey == L"file") {
        desc.strImageName = strValue;
    } else if (strKey == L"res") {
        desc.strImageName = strValue;
        bResOrColor = true;
        bColor = false;
    } else if (strKey == L"restype") {
        strResType = strValue;
    } else if (strKey == L"color") {
        desc.strImageName = strValue;
        bResOrColor = true;
        bColor = true;
    } else if (strKey == L"dest") {
        desc.rcDest = ReadRect(pValue);
    } else if (strKey == L"source") {
        desc.rcSource = ReadRect(pValue);
    } else if (strKey == L"corner" || strKey == L"scale9") {
        desc.rcCorners = ReadRect(pValue);
    } else if (strKey == L"mask") {
        desc.dwMask = ReadHexColor(pValue);
    } else if (strKey == L"fade") {
        const wchar_t* p = pValue;
        desc.nFade = static_cast<uint8_t>(std::clamp(ReadDecimal(p), 0L, 255L));
    } else if (strKey == L"hole") {
        desc.bHole = strValue.CompareNoCase(L"true") == 0;
    } else if (strKey == L"xtiled") {
        desc.bXTiled = strValue.CompareNoCase(L"true") == 0;
    } else if (strKey == L"ytiled") {
        desc.bYTiled = strValue.CompareNoCase(L"true") == 0;
    } else if (strKey == L"hsl") {
        desc.bKeepPixels = strValue.CompareNoCase(L"true") == 0;
    }
}

// Keeps the source inside the image and the corners inside the source, on all four edges.
void ClampSourceAndCorners(RECT& rcSource, RECT& rcCorners, int nWidth, int nHeight) {
    rcSource.left = std::clamp(rcSource.left, 0, nWidth);
    rcSource.top = std::clamp(rcSource.top, 0, nHeight);
    rcSource.right = std::clamp(rcSource.right, rcSource.left, nWidth);
    rcSource.bottom = std::clamp(rcSource.bottom, rcSource.top, nHeight);
    const int nSourceWidth = RectWidth(rcSource);
    const int nSourceHeight = RectHeight(rcSource);
    rcCorners.left = std::clamp(rcCorners.left, 0, nSourceWidth);
    rcCorners.right = std::clamp(rcCorners.right, 0, nSourceWidth - rcCorners.left);
    rcCorners.top = std::clamp(rcCorners.top, 0, nSourceHeight);
    rcCorners.bottom = std::clamp(rcCorners.bottom, 0, nSourceHeight - rcCorners.top);
}

bool Meets(const RECT& a, const RECT& b) {
    RECT rc;
    return IntersectRect(rc, a, b);
}

}  // namespace

bool CRenderKit::ParseImageDrawString(ImageDrawDesc& desc) {
    if (desc.strDrawString.IsEmpty()) return false;
    desc.strImageName = desc.strDrawString;
    CUIString strResType;
    bool bResOrColor = false;
    bool bColor = false;
    const wchar_t* p = desc.strDrawString.GetData();
    for (;;) {
        while (IsSpace(*p)) ++p;
        const wchar_t* pKey = p;
        while (*p && *p != L'=' && !IsSpace(*p)) ++p;
        CUIString strKey(pKey, int(p - pKey));
        while (IsSpace(*p)) ++p;
        if (*p != L'=') break;
        ++p;
        while (IsSpace(*p)) ++p;
        if (*p != L'\'') break;
        const wchar_t* pValue = ++p;
        while (*p && *p != L'\'') ++p;
        if (*p != L'\'') break;
        CUIString strValue(pValue, int(p - pValue));
        ++p;
        if (!strValue.IsEmpty()) ApplyPair(desc, strKey, strValue, strResType, bResOrColor, bColor);
        if (*p != L' ') break;
        ++p;
    }
    desc.bUseResType = bResOrColor;
    desc.strResType.Empty();
    if (bResOrColor) desc.strResType = bColor ? CUIString(kColorResourceType) : strResType;
    return true;
}

bool CRenderKit::DrawImageDesc(platform::CCanvas* pCanvas, IRenderResources* pManager, const RECT& rcItem,
                               const RECT& rcPaint, ImageDrawDesc& desc) {
    if (!pManager) return false;
    // An image record freed since the description took it may be this one: fetch it again.
    bool bRefetch = false;
    if (desc.pImage && desc.nImageFreeCount != GetImageFreeCount()) {
        desc.pImage = nullptr;
        bRefetch = true;
    }
    if (!desc.pImage) {
        if (!bRefetch) {
            if (desc.bTried) return false;
            desc.bTried = true;
            if (!ParseImageDrawString(desc)) return false;
        } else {
            // The source and corners were fitted to the old image, whose size the new one need
            // not have: read them from the string again. Other fields may have been set by the
            // control since (a progress bar's destination) and stay.
            ImageDrawDesc parsed;
            parsed.SetDrawString(desc.strDrawString.GetData());
            ParseImageDrawString(parsed);
            desc.rcSource = parsed.rcSource;
            desc.rcCorners = parsed.rcCorners;
        }
        desc.pImage = pManager->FetchImage(desc.strImageName.GetData(),
                                           desc.bUseResType ? desc.strResType.GetData() : nullptr, desc.dwMask,
                                           desc.bKeepPixels);
        if (!desc.pImage) return false;
        desc.nImageFreeCount = GetImageFreeCount();
        if (IsZero(desc.rcSource)) desc.rcSource = RECT{0, 0, desc.pImage->nWidth, desc.pImage->nHeight};
    }
    ClampSourceAndCorners(desc.rcSource, desc.rcCorners, desc.pImage->nWidth, desc.pImage->nHeight);
    if (!pCanvas || !desc.pImage->pBitmap) return true;
    RECT rcDest = rcItem;
    if (!IsZero(desc.rcDest)) {
        rcDest.left = rcItem.left + desc.rcDest.left;
        rcDest.top = rcItem.top + desc.rcDest.top;
        rcDest.right = std::min(rcItem.right, rcItem.left + desc.rcDest.right);
        rcDest.bottom = std::min(rcItem.bottom, rcItem.top + desc.rcDest.bottom);
    }
    if (Meets(rcDest, rcItem) && Meets(rcDest, rcPaint)) {
        DrawBitmap(*pCanvas, *desc.pImage->pBitmap, rcDest, rcPaint, desc.rcSource, desc.rcCorners,
                   desc.pImage->bHasAlpha, desc.nFade, desc.bHole, desc.bXTiled, desc.bYTiled);
    }
    return true;
}
