#include <stb/stb_image.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/Text.h"
#include "ui/core/RenderEngine.h"

namespace {

std::atomic<uint64_t> g_nImageFreeCount{0};

uint32_t Premultiply(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (a == 255) return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
    return (uint32_t(a) << 24) | ((uint32_t(r) * a / 255) << 16) | ((uint32_t(g) * a / 255) << 8) |
           (uint32_t(b) * a / 255);
}

// Fills a new record from straight RGBA rows, premultiplying and applying the mask.
ImageRecord* MakeRecord(const uint8_t* pRgba, int nWidth, int nHeight, uint32_t dwMask) {
    auto pBitmap = platform::CBitmap::Create(nWidth, nHeight);
    if (!pBitmap) return nullptr;
    auto* pRecord = new ImageRecord;
    pBitmap->BeginPixelAccess();
    uint32_t* pPixels = pBitmap->Pixels();
    const int nStride = pBitmap->StridePixels();
    bool bHasAlpha = false;
    for (int y = 0; y < nHeight; ++y) {
        const uint8_t* pSource = pRgba + static_cast<size_t>(y) * nWidth * 4;
        uint32_t* pRow = pPixels + static_cast<size_t>(y) * nStride;
        for (int x = 0; x < nWidth; ++x, pSource += 4) {
            uint32_t dwPixel = Premultiply(pSource[0], pSource[1], pSource[2], pSource[3]);
            if (pSource[3] != 255) bHasAlpha = true;
            if (dwPixel == dwMask) {
                dwPixel = 0;
                bHasAlpha = true;
            }
            pRow[x] = dwPixel;
        }
    }
    pBitmap->EndPixelAccess();
    pRecord->pPixels = pPixels;
    pRecord->pBitmap = std::move(pBitmap);
    pRecord->nWidth = nWidth;
    pRecord->nHeight = nHeight;
    pRecord->bHasAlpha = bHasAlpha;
    pRecord->dwMask = dwMask;
    return pRecord;
}

}  // namespace

uint64_t GetImageFreeCount() { return g_nImageFreeCount.load(std::memory_order_relaxed); }
void NoteImageRecordFreed() { g_nImageFreeCount.fetch_add(1, std::memory_order_relaxed); }

void ImageDrawDesc::Reset() {
    *this = ImageDrawDesc();
}

void ImageDrawDesc::SetDrawString(const wchar_t* pText) {
    Reset();
    strDrawString = pText ? pText : L"";
}

bool ReadImageBytes(const wchar_t* pName, const wchar_t* pResType, std::vector<uint8_t>& bytes);
bool ReadImageFile(const wchar_t* pPath, std::vector<uint8_t>& bytes);

ImageRecord* CRenderKit::LoadImageData(const wchar_t* pName, const wchar_t* pResType, uint32_t dwMask) {
    if (!pName || !*pName) return nullptr;
    if (pResType && std::wcscmp(pResType, kColorResourceType) == 0) return LoadColorImage(pName, dwMask);
    std::vector<uint8_t> bytes;
    if (!ReadImageBytes(pName, pResType, bytes)) {
        // A name that is no skin file may still be a plain path.
        if (!ReadImageFile(pName, bytes)) return nullptr;
    }
    return LoadImageFromMemory(bytes.data(), bytes.size(), dwMask);
}

ImageRecord* CRenderKit::LoadImageFromMemory(const uint8_t* pData, size_t nSize, uint32_t dwMask) {
    if (!pData || nSize == 0 || nSize > static_cast<size_t>(INT32_MAX)) return nullptr;
    const int nBytes = static_cast<int>(nSize);
    int nWidth = 0;
    int nHeight = 0;
    int nComponents = 0;
    // The header is checked first, so that a file claiming a huge size allocates nothing.
    if (!stbi_info_from_memory(pData, nBytes, &nWidth, &nHeight, &nComponents)) return nullptr;
    if (nWidth < 1 || nHeight < 1 || nWidth > kMaxImageSide || nHeight > kMaxImageSide ||
        int64_t(nWidth) * nHeight > kMaxImagePixels) {
        return nullptr;
    }
    stbi_uc* pRgba = stbi_load_from_memory(pData, nBytes, &nWidth, &nHeight, &nComponents, 4);
    if (!pRgba) return nullptr;
    ImageRecord* pRecord = MakeRecord(pRgba, nWidth, nHeight, dwMask);
    stbi_image_free(pRgba);
    return pRecord;
}

ImageRecord* CRenderKit::LoadColorImage(const wchar_t* pColor, uint32_t dwMask) {
    if (!pColor) return nullptr;
    if (*pColor == L'#') ++pColor;
    uint32_t dwColor = 0;
    for (int i = 0; i < 8 && std::iswxdigit(pColor[i]); ++i) {
        wchar_t ch = pColor[i];
        uint32_t nDigit = (ch <= L'9') ? uint32_t(ch - L'0') : uint32_t((ch | 0x20) - L'a' + 10);
        dwColor = (dwColor << 4) | nDigit;
    }
    const uint8_t rgba[4] = {uint8_t(ColorRed(dwColor)), uint8_t(ColorGreen(dwColor)), uint8_t(ColorBlue(dwColor)),
                             uint8_t(ColorAlpha(dwColor))};
    return MakeRecord(rgba, 1, 1, dwMask);
}

void CRenderKit::FreeImageRecord(ImageRecord* pRecord, bool bFreeRecord) {
    if (!pRecord) return;
    NoteImageRecordFreed();
    pRecord->pBitmap.reset();
    pRecord->pPixels = nullptr;
    pRecord->pKeptPixels.reset();
    if (bFreeRecord) delete pRecord;
}

bool CRenderKit::KeepImagePixels(ImageRecord* pRecord) {
    if (!pRecord || !pRecord->pBitmap) return false;
    const size_t nWidth = static_cast<size_t>(pRecord->nWidth);
    pRecord->pKeptPixels = std::make_unique<uint32_t[]>(nWidth * static_cast<size_t>(pRecord->nHeight));
    pRecord->pBitmap->BeginPixelAccess();
    const uint32_t* pPixels = pRecord->pBitmap->Pixels();
    const size_t nStride = static_cast<size_t>(pRecord->pBitmap->StridePixels());
    for (int y = 0; y < pRecord->nHeight; ++y) {
        std::memcpy(pRecord->pKeptPixels.get() + y * nWidth, pPixels + y * nStride, nWidth * sizeof(uint32_t));
    }
    pRecord->bKeepPixels = true;
    return true;
}

std::unique_ptr<platform::CBitmap> CRenderKit::MakeDibSection32(int nWidth, int nHeight) {
    return platform::CBitmap::Create(nWidth, nHeight);
}
