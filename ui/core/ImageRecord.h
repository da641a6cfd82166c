#pragma once
// A decoded skin image and the parsed form of an image attribute string.
#include <cstdint>
#include <memory>

#include "platform/Canvas.h"
#include "ui/core/UIString.h"

struct ImageRecord {
    std::unique_ptr<platform::CBitmap> pBitmap;  // premultiplied, top-down
    uint32_t* pPixels = nullptr;                 // pBitmap's pixel memory
    std::unique_ptr<uint32_t[]> pKeptPixels;     // loaded pixels kept for the colour shift
    int nWidth = 0;
    int nHeight = 0;
    bool bHasAlpha = false;
    bool bKeepPixels = false;
    CUIString strResType;
    uint32_t dwMask = 0;
};

// Counts image records freed in this process. A draw description remembers the count it saw
// when it took its image and fetches the image again once a record has been freed since, so
// replacing or removing an image never leaves a description pointing at freed memory.
uint64_t GetImageFreeCount();
void NoteImageRecordFreed();

struct ImageDrawDesc {
    CUIString strDrawString;
    CUIString strImageName;
    bool bTried = false;
    ImageRecord* pImage = nullptr;
    RECT rcDest;
    RECT rcSource;
    RECT rcCorners;
    uint8_t nFade = 255;
    bool bHole = false;
    bool bXTiled = false;
    bool bYTiled = false;

    // What the string asked for, kept so that the image can be fetched again.
    bool bUseResType = false;  // "res" or "color" was given
    CUIString strResType;
    uint32_t dwMask = 0;
    bool bKeepPixels = false;
    uint64_t nImageFreeCount = 0;

    void Reset();
    // Sets a new draw string; anything parsed from an earlier one is forgotten.
    void SetDrawString(const wchar_t* pText);
};
