// Skin image bytes: decoded, premultiplied and masked, whatever the file claims.
#include <cstddef>
#include <cstdint>

#include "ui/core/RenderEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    ImageRecord* pRecord = CRenderKit::LoadImageFromMemory(pData, nSize, 0xFFFF00FF);
    if (pRecord && CRenderKit::KeepImagePixels(pRecord)) CRenderKit::ShiftImagePixels(pRecord, true, 90, 80, 120);
    CRenderKit::FreeImageRecord(pRecord, true);
    return 0;
}
