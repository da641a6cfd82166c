#pragma once
// CUIManager, the per-window heart of the framework. This header holds its resource side:
// where skin files come from, the font, image, default-attribute and colour tables, the
// multi-language texts and the attributes of the skin's Window element. Lookups try the
// window's own tables first and then the process-wide shared ones.
#include <cstddef>
#include <cstdint>

#include "platform/Font.h"
#include "platform/GraphicsTypes.h"
#include "ui/core/ImageRecord.h"
#include "ui/core/RenderResources.h"
#include "ui/core/UIPtrArray.h"
#include "ui/core/UIString.h"
#include "ui/core/UIStringMap.h"

class CControlUI;
class SkinArchive;

// The program's module: where compiled-in resources come from. Opaque to the framework.
using ModuleHandle = const void*;

struct FontRecord {
    platform::FontHandle hFont = nullptr;
    CUIString strFaceName;
    int nSize = 0;
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
    platform::TextMetrics tm;
    bool bMetricsMeasured = false;
};

// The colours a window draws text with, 0xAARRGGBB.
struct WindowColors {
    uint32_t dwDisabled = 0xFFA7A6AA;
    uint32_t dwText = 0xFF000000;
    uint32_t dwLink = 0xFF0000FF;
    uint32_t dwLinkHover = 0xFFD3215F;
    uint32_t dwSelectedBk = 0xFFBAE4FF;
};

class CUIManager : public IRenderResources {
public:
    static constexpr const wchar_t* kMemoryZipName = L"membuffer";
    // Fonts that formatted text creates on the fly get ids from here up.
    static constexpr int kFirstDynamicFontId = 30000;

    CUIManager();
    ~CUIManager() override;
    CUIManager(const CUIManager&) = delete;
    CUIManager& operator=(const CUIManager&) = delete;

    // Process-wide settings.
    static void SetInstance(ModuleHandle hInstance);
    static ModuleHandle GetInstance();
    // The folder of the running program with its final separator; empty without an instance.
    static CUIString GetInstancePath();
    // The resource module when one is set, else the instance.
    static ModuleHandle GetResourceModule();
    // A path not ending in a separator gets one.
    static void SetResourcePath(const wchar_t* pPath);
    static const CUIString& GetResourcePath();
    // A zip file under the resource path; with bKeepOpen it is opened now and kept.
    static void SetResourceZipFile(const wchar_t* pZipName, bool bKeepOpen = true);
    // A zip held in memory; the caller keeps the bytes alive for the rest of the run.
    static void SetResourceZipData(const void* pData, std::size_t nSize);
    static const CUIString& GetResourceZip();
    static bool IsResourceZipKeptOpen();
    // The kept-open resource zip, or null.
    static SkinArchive* GetResourceZipArchive();

    static void AddLanguageString(int nId, const wchar_t* pText);
    // Null when no text has that id.
    static const wchar_t* GetLanguageString(int nId);
    static void RemoveAllLanguageStrings();
    // Replaces every %{N} whose N has a multi-language text, and the references inside the
    // texts put in, except one to a text already being expanded (no endless self-reference).
    static void ExpandLanguageText(CUIString& strText);

    // The global hue/saturation/lightness shift; neutral unless set. Images loaded later with
    // kept pixels follow it.
    static void SetColorShift(bool bUse, short nHue, short nSaturation, short nLightness);
    static void GetColorShift(bool& bUse, short& nHue, short& nSaturation, short& nLightness);

    // Fonts. Ids are table keys in decimal; negative or unknown ids give the default font.
    platform::FontHandle AddFont(int nId, const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                 bool bItalic, bool bShared) override;
    platform::FontHandle GetFont(int nId) override;
    platform::FontHandle LookupFont(const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                    bool bItalic) override;
    // Never null; metrics are measured when first asked for.
    FontRecord* GetFontRecord(int nId);
    FontRecord* GetFontRecord(platform::FontHandle hFont);
    void ReplaceDefaultFont(const wchar_t* pFace, int nSize, bool bBold, bool bUnderline, bool bItalic,
                            bool bShared);
    FontRecord* GetDefaultFontRecord();
    void RemoveAllFonts(bool bShared = false);

    // Images, cached by name.
    ImageRecord* AddImage(const wchar_t* pName, const wchar_t* pResType = nullptr, uint32_t dwMask = 0,
                          bool bKeepPixels = false, bool bShared = false);
    ImageRecord* GetImage(const wchar_t* pName);
    ImageRecord* FetchImage(const wchar_t* pName, const wchar_t* pResType, uint32_t dwMask,
                            bool bKeepPixels) override;
    void RemoveAllImages(bool bShared = false);

    // Attribute lists applied to every control of a type before its own attributes.
    void AddDefaultAttributes(const wchar_t* pControlName, const wchar_t* pAttributeList, bool bShared = false);
    const wchar_t* GetDefaultAttributes(const wchar_t* pControlName) const;
    void RemoveAllDefaultAttributes(bool bShared = false);

    void SetForceShared(bool bForce) { m_bForceShared = bForce; }
    bool IsForceShared() const { return m_bForceShared; }

    // Window colours. Shared changes the process default; the window follows it while its
    // own value still equals the old default.
    uint32_t GetDefaultDisabledColor() const { return m_colors.dwDisabled; }
    uint32_t GetDefaultFontColor() const { return m_colors.dwText; }
    uint32_t GetDefaultLinkFontColor() const override { return m_colors.dwLink; }
    uint32_t GetDefaultLinkHoverFontColor() const override { return m_colors.dwLinkHover; }
    uint32_t GetDefaultSelectedBkColor() const override { return m_colors.dwSelectedBk; }
    void SetDefaultDisabledColor(uint32_t dwColor, bool bShared = false);
    void SetDefaultFontColor(uint32_t dwColor, bool bShared = false);
    void SetDefaultLinkFontColor(uint32_t dwColor, bool bShared = false);
    void SetDefaultLinkHoverFontColor(uint32_t dwColor, bool bShared = false);
    void SetDefaultSelectedBkColor(uint32_t dwColor, bool bShared = false);

    // Unknown Window attributes. Name and value must be non-empty; a name keeps its first value.
    void AddWindowCustomAttribute(const wchar_t* pName, const wchar_t* pValue);
    const wchar_t* GetWindowCustomAttribute(const wchar_t* pName) const;
    void RemoveAllWindowCustomAttributes();

    // Option groups: group name to the controls in it, in the order added.
    bool AddOptionGroup(const wchar_t* pGroupName, CControlUI* pControl);
    CUIPtrArray* GetOptionGroup(const wchar_t* pGroupName);
    void RemoveOptionGroup(const wchar_t* pGroupName, CControlUI* pControl);
    void RemoveAllOptionGroups();

    // An attribute of the skin's Window element.
    void ApplyWindowAttribute(const wchar_t* pName, const wchar_t* pValue);
    SIZE GetInitSize() const { return m_szInitWindowSize; }
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox() const { return m_rcSizeBox; }
    RECT GetCaptionRect() const { return m_rcCaption; }
    SIZE GetRoundCorner() const { return m_szRoundCorner; }
    SIZE GetMinInfo() const { return m_szMinWindow; }
    SIZE GetMaxInfo() const { return m_szMaxWindow; }
    bool IsShowDirty() const { return m_bShowDirty; }
    bool IsNoActivate() const { return m_bNoActivate; }
    uint8_t GetOpacity() const { return m_nOpacity; }
    bool IsLayered() const { return m_bLayered; }
    bool IsLayeredChanged() const { return m_bLayeredChanged; }
    ImageDrawDesc& GetLayeredImage() { return m_layeredImage; }
    void ApplyOpacity(uint8_t nOpacity);
    void SetLayeredOpacity(uint8_t nOpacity);
    void SwitchLayered(bool bLayered);

    void ExpandLanguageRefs(CUIString& strText) const override;
    POINT GetMousePos() const override { return m_ptLastMousePos; }

protected:
    // Empties the window's own tables, as binding to a window does.
    void ResetWindowResources();

private:
    class CSharedResources;
    static CSharedResources& Shared();

    static FontRecord* CreateFontRecord(const wchar_t* pFace, int nSize, bool bBold, bool bUnderline,
                                        bool bItalic);
    static void FreeFontRecord(FontRecord* pRecord);
    static void FreeFontTable(CUIStringMap& table);
    static void FreeImageTable(CUIStringMap& table);
    static void FreeAttributeTable(CUIStringMap& table);
    static void MeasureFont(FontRecord& record);
    FontRecord* FindFontRecord(platform::FontHandle hFont);
    void SetColor(uint32_t WindowColors::*pColor, uint32_t dwColor, bool bShared);
    CUIStringMap& TableFor(CUIStringMap& windowTable, CUIStringMap& sharedTable, bool bShared) const;

    WindowColors m_colors;
    FontRecord m_defaultFont;
    CUIStringMap m_fonts;
    CUIStringMap m_images;
    CUIStringMap m_defaultAttributes;
    CUIStringMap m_windowCustomAttributes;
    CUIStringMap m_optionGroups;
    bool m_bForceShared = false;

    SIZE m_szInitWindowSize;
    RECT m_rcSizeBox;
    RECT m_rcCaption;
    SIZE m_szRoundCorner;
    SIZE m_szMinWindow;
    SIZE m_szMaxWindow;
    bool m_bShowDirty = false;
    bool m_bNoActivate = false;
    uint8_t m_nOpacity = 255;
    bool m_bLayered = false;
    bool m_bLayeredChanged = false;
    ImageDrawDesc m_layeredImage;
    POINT m_ptLastMousePos{-1, -1};
};
