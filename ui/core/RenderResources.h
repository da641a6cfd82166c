#pragma once
// What the render engine asks of a window's manager: images, fonts, colours, language texts
// and the mouse position. The manager implements it; tests use a small fake.
#include <cstdint>

#include "platform/Font.h"
#include "platform/GraphicsTypes.h"
#include "ui/core/ImageRecord.h"
#include "ui/core/UIString.h"

class IRenderResources {
public:
    virtual ~IRenderResources() = default;

    // Window table, then shared table, else loaded (not shared). pResType null for files.
    virtual ImageRecord* FetchImage(const wchar_t* pName, const wchar_t* pResType, uint32_t dwMask,
                                    bool bKeepPixels) = 0;
    // id < 0 or unknown: the default font.
    virtual platform::FontHandle GetFont(int nId) = 0;
    // Exact match on all five, or null.
    virtual platform::FontHandle LookupFont(const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                            bool bItalic) = 0;
    virtual platform::FontHandle AddFont(int nId, const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                         bool bItalic, bool bShared) = 0;
    virtual uint32_t GetDefaultLinkFontColor() const = 0;
    virtual uint32_t GetDefaultLinkHoverFontColor() const = 0;
    virtual uint32_t GetDefaultSelectedBkColor() const = 0;
    // Replaces %{N} references by the multi-language texts.
    virtual void ExpandLanguageRefs(CUIString& strText) const = 0;
    // The last mouse point the window saw.
    virtual POINT GetMousePos() const = 0;
};
