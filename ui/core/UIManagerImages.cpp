#include "ui/core/RenderEngine.h"
#include "ui/core/UIManager.h"
#include "ui/core/UIManagerShared.h"

namespace {

// Draw descriptions hold plain pointers into the image tables; freeing a record through the
// render kit counts it, so that they fetch their image again instead of using freed memory.
void FreeImage(ImageRecord* pRecord)
{
    CRenderKit::FreeImageRecord(pRecord, true);
}

}  // namespace

void CUIManager::FreeImageTable(CUIStringMap& table)
{
    table.ForEach([](const CUIString&, void* pValue) { FreeImage(static_cast<ImageRecord*>(pValue)); });
    table.RemoveAll();
}

ImageRecord* CUIManager::AddImage(const wchar_t* pName, const wchar_t* pResType, uint32_t dwMask,
                                  bool bKeepPixels, bool bShared)
{
    if (pName == nullptr || pName[0] == L'\0') {
        return nullptr;
    }
    ImageRecord* pRecord = CRenderKit::LoadImageData(pName, pResType, dwMask);
    if (pRecord == nullptr) {
        return nullptr;
    }
    pRecord->bKeepPixels = bKeepPixels;
    if (bKeepPixels && CRenderKit::KeepImagePixels(pRecord)) {
        bool bUse = false;
        short nHue = 0;
        short nSaturation = 0;
        short nLightness = 0;
        GetColorShift(bUse, nHue, nSaturation, nLightness);
        if (bUse) {
            CRenderKit::ShiftImagePixels(pRecord, true, nHue, nSaturation, nLightness);
        }
    }
    pRecord->strResType = pResType;
    pRecord->dwMask = dwMask;
    CUIStringMap& table = TableFor(m_images, Shared().images, bShared);
    ImageRecord* pOld = static_cast<ImageRecord*>(table.Find(pName));
    if (pOld != nullptr) {
        table.Remove(pName);
        FreeImage(pOld);
    }
    if (!table.Insert(pName, pRecord)) {
        FreeImage(pRecord);
        return nullptr;
    }
    return pRecord;
}

ImageRecord* CUIManager::GetImage(const wchar_t* pName)
{
    ImageRecord* pRecord = static_cast<ImageRecord*>(m_images.Find(pName));
    if (pRecord == nullptr) {
        pRecord = static_cast<ImageRecord*>(Shared().images.Find(pName));
    }
    return pRecord;
}

ImageRecord* CUIManager::FetchImage(const wchar_t* pName, const wchar_t* pResType, uint32_t dwMask,
                                    bool bKeepPixels)
{
    ImageRecord* pRecord = GetImage(pName);
    if (pRecord == nullptr) {
        pRecord = AddImage(pName, pResType, dwMask, bKeepPixels, false);
    }
    return pRecord;
}

void CUIManager::RemoveAllImages(bool bShared)
{
    FreeImageTable(bShared ? Shared().images : m_images);
}
