#pragma once
// The process-wide half of the manager's resources, shared by every window.
#include "ui/controls/SkinArchive.h"
#include "ui/core/UIManager.h"

class CUIManager::CSharedResources {
public:
    CSharedResources() = default;
    CSharedResources(const CSharedResources&) = delete;
    CSharedResources& operator=(const CSharedResources&) = delete;
    ~CSharedResources();

    void CloseZip();

    ModuleHandle hInstance = nullptr;
    ModuleHandle hResourceModule = nullptr;
    CUIString strResourcePath;
    CUIString strResourceZip;
    bool bKeepZipOpen = true;
    SkinArchivePtr pZip;

    CUIStringMap fonts;
    CUIStringMap images;
    CUIStringMap defaultAttributes;
    CUIStringMap languageTexts;

    bool bUseColorShift = false;
    short nHue = 180;
    short nSaturation = 100;
    short nLightness = 100;

    FontRecord defaultFont;
    WindowColors colors;
};
