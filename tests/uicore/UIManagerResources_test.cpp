#include "ui/core/UIManager.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/uicore/UIStringPrinter.h"

namespace {

class CTestManager : public CUIManager {
public:
    using CUIManager::ResetWindowResources;
};

TEST(UIManagerSettings, ResourcePathGetsSeparator)
{
    struct Case {
        const char* pName;
        const wchar_t* pPath;
        const wchar_t* pExpected;
    };
    const Case cases[] = {
        {"no separator", L"/opt/skin", L"/opt/skin/"},
        {"slash kept", L"/opt/skin/", L"/opt/skin/"},
        {"backslash kept", L"skin\\", L"skin\\"},
        {"empty stays empty", L"", L""},
        {"null is empty", nullptr, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CUIManager::SetResourcePath(c.pPath);
        EXPECT_EQ(CUIManager::GetResourcePath(), c.pExpected);
    }
    CUIManager::SetResourcePath(L"");
}

TEST(UIManagerSettings, InstancePathNeedsInstance)
{
    CUIManager::SetInstance(nullptr);
    EXPECT_TRUE(CUIManager::GetInstancePath().IsEmpty());
    static const int kModule = 0;
    CUIManager::SetInstance(&kModule);
    const CUIString strPath = CUIManager::GetInstancePath();
    EXPECT_FALSE(strPath.IsEmpty());
    EXPECT_EQ(strPath.GetAt(strPath.GetLength() - 1), L'/');
    EXPECT_EQ(CUIManager::GetResourceModule(), &kModule);
    CUIManager::SetInstance(nullptr);
}

TEST(UIManagerSettings, ExpandsLanguageReferences)
{
    CUIManager::AddLanguageString(12, L"twelve");
    CUIManager::AddLanguageString(7, L"old");
    CUIManager::AddLanguageString(7, L"seven");
    CUIManager::AddLanguageString(1, L"loop %{1}");
    CUIManager::AddLanguageString(2, L"A %{7}");
    CUIManager::AddLanguageString(3, L"x%{4}");
    CUIManager::AddLanguageString(4, L"y%{3}");
    struct Case {
        const char* pName;
        const wchar_t* pText;
        const wchar_t* pExpected;
    };
    const Case cases[] = {
        {"every occurrence", L"%{12} and %{12}", L"twelve and twelve"},
        {"two numbers", L"%{7}/%{12}", L"seven/twelve"},
        {"unknown number stays", L"%{99} x", L"%{99} x"},
        {"letter instead of digits", L"%{1a}", L"%{1a}"},
        {"no closing brace", L"%{12", L"%{12"},
        {"no digits", L"%{}", L"%{}"},
        {"percent before reference", L"100%%{12}", L"100%twelve"},
        {"number too large", L"%{99999999999}", L"%{99999999999}"},
        {"text refers to itself", L"%{1}", L"loop %{1}"},
        {"text holds another reference", L"%{2}!", L"A seven!"},
        {"texts refer to each other", L"%{3}", L"xy%{3}"},
        {"nothing to do", L"plain", L"plain"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CUIString strText(c.pText);
        CUIManager::ExpandLanguageText(strText);
        EXPECT_EQ(strText, c.pExpected);
    }
    EXPECT_EQ(std::wstring(CUIManager::GetLanguageString(7)), L"seven");
    EXPECT_EQ(CUIManager::GetLanguageString(8), nullptr);
    CUIManager::RemoveAllLanguageStrings();
    EXPECT_EQ(CUIManager::GetLanguageString(12), nullptr);
}

TEST(UIManagerFonts, UnknownOrNegativeIdGivesDefaultFont)
{
    CUIManager manager;
    const platform::FontHandle hDefault = manager.GetDefaultFontRecord()->hFont;
    ASSERT_NE(hDefault, nullptr);
    EXPECT_EQ(manager.GetFont(-1), hDefault);
    EXPECT_EQ(manager.GetFont(5), hDefault);
    EXPECT_EQ(manager.GetFontRecord(5), manager.GetDefaultFontRecord());
}

TEST(UIManagerFonts, AddsLooksUpAndReplaces)
{
    CUIManager manager;
    const platform::FontHandle hFirst = manager.AddFont(0, L"DejaVu Sans", 12, false, false, false, false);
    ASSERT_NE(hFirst, nullptr);
    const platform::FontHandle hBold = manager.AddFont(1, L"DejaVu Sans", 14, true, true, false, false);
    ASSERT_NE(hBold, nullptr);
    EXPECT_EQ(manager.GetFont(0), hFirst);
    EXPECT_EQ(manager.LookupFont(L"DejaVu Sans", 14, true, true, false), hBold);
    EXPECT_EQ(manager.LookupFont(L"DejaVu Sans", 14, true, false, false), nullptr);
    EXPECT_EQ(manager.GetFontRecord(hBold)->nSize, 14);
    EXPECT_TRUE(manager.GetFontRecord(hBold)->bMetricsMeasured);
    EXPECT_GT(manager.GetFontRecord(hBold)->tm.nHeight, 0);

    const platform::FontHandle hSecond = manager.AddFont(0, L"DejaVu Serif", 20, false, false, true, false);
    ASSERT_NE(hSecond, nullptr);
    EXPECT_EQ(manager.GetFont(0), hSecond);
    EXPECT_EQ(manager.GetFontRecord(0)->strFaceName, L"DejaVu Serif");
    EXPECT_EQ(manager.LookupFont(L"DejaVu Sans", 12, false, false, false), nullptr);
}

TEST(UIManagerFonts, FailedFontLeavesTableUnchanged)
{
    CUIManager manager;
    const platform::FontHandle hFont = manager.AddFont(3, L"DejaVu Sans", 12, false, false, false, false);
    ASSERT_NE(hFont, nullptr);
    EXPECT_EQ(manager.AddFont(3, L"DejaVu Sans", 0, false, false, false, false), nullptr);
    EXPECT_EQ(manager.GetFont(3), hFont);
}

TEST(UIManagerFonts, LongFaceIsCut)
{
    CUIManager manager;
    const std::wstring strFace(40, L'F');
    ASSERT_NE(manager.AddFont(2, strFace.c_str(), 12, false, false, false, false), nullptr);
    EXPECT_EQ(manager.GetFontRecord(2)->strFaceName.GetLength(), 31);
    EXPECT_EQ(manager.LookupFont(strFace.c_str(), 12, false, false, false), manager.GetFont(2));
}

TEST(UIManagerFonts, SharedFontsServeEveryWindow)
{
    CUIManager first;
    CUIManager second;
    const platform::FontHandle hShared = first.AddFont(40, L"DejaVu Sans", 11, false, false, false, true);
    ASSERT_NE(hShared, nullptr);
    EXPECT_EQ(second.GetFont(40), hShared);
    const platform::FontHandle hOwn = second.AddFont(40, L"DejaVu Sans", 13, false, false, false, false);
    EXPECT_EQ(second.GetFont(40), hOwn);
    EXPECT_EQ(first.GetFont(40), hShared);
    first.RemoveAllFonts(true);
    EXPECT_EQ(first.GetFont(40), first.GetDefaultFontRecord()->hFont);
}

TEST(UIManagerFonts, ForceSharedSendsAdditionsToSharedTable)
{
    CUIManager first;
    CUIManager second;
    first.SetForceShared(true);
    const platform::FontHandle hFont = first.AddFont(41, L"DejaVu Sans", 11, false, false, false, false);
    EXPECT_EQ(second.GetFont(41), hFont);
    first.RemoveAllFonts(true);
}

TEST(UIManagerFonts, ReplacesDefaultFont)
{
    CUIManager manager;
    CUIManager other;
    const platform::FontHandle hProcessDefault = manager.GetDefaultFontRecord()->hFont;
    manager.ReplaceDefaultFont(L"DejaVu Serif", 18, true, false, false, false);
    EXPECT_EQ(manager.GetDefaultFontRecord()->strFaceName, L"DejaVu Serif");
    EXPECT_EQ(manager.GetFont(-1), manager.GetDefaultFontRecord()->hFont);
    EXPECT_NE(manager.GetFont(-1), hProcessDefault);
    EXPECT_EQ(other.GetFont(-1), hProcessDefault);
}

TEST(UIManagerTables, DefaultAttributesWindowBeforeShared)
{
    CUIManager manager;
    manager.AddDefaultAttributes(L"Button", L"width=\"10\"", true);
    EXPECT_EQ(std::wstring(manager.GetDefaultAttributes(L"Button")), L"width=\"10\"");
    manager.AddDefaultAttributes(L"Button", L"width=\"20\"");
    EXPECT_EQ(std::wstring(manager.GetDefaultAttributes(L"Button")), L"width=\"20\"");
    manager.AddDefaultAttributes(L"Button", L"width=\"30\"");
    EXPECT_EQ(std::wstring(manager.GetDefaultAttributes(L"Button")), L"width=\"30\"");
    EXPECT_EQ(manager.GetDefaultAttributes(L"button"), nullptr);
    manager.RemoveAllDefaultAttributes(false);
    EXPECT_EQ(std::wstring(manager.GetDefaultAttributes(L"Button")), L"width=\"10\"");
    manager.RemoveAllDefaultAttributes(true);
    EXPECT_EQ(manager.GetDefaultAttributes(L"Button"), nullptr);
}

TEST(UIManagerTables, CustomAttributesKeepFirstValue)
{
    CUIManager manager;
    manager.AddWindowCustomAttribute(L"theme", L"dark");
    manager.AddWindowCustomAttribute(L"theme", L"light");
    manager.AddWindowCustomAttribute(L"", L"x");
    manager.AddWindowCustomAttribute(L"empty", L"");
    EXPECT_EQ(std::wstring(manager.GetWindowCustomAttribute(L"theme")), L"dark");
    EXPECT_EQ(manager.GetWindowCustomAttribute(L"empty"), nullptr);
    manager.RemoveAllWindowCustomAttributes();
    EXPECT_EQ(manager.GetWindowCustomAttribute(L"theme"), nullptr);
}

TEST(UIManagerTables, OptionGroupsListControlsOnce)
{
    CTestManager manager;
    CControlUI* pFirst = reinterpret_cast<CControlUI*>(0x10);
    CControlUI* pSecond = reinterpret_cast<CControlUI*>(0x20);
    EXPECT_TRUE(manager.AddOptionGroup(L"lang", pFirst));
    EXPECT_TRUE(manager.AddOptionGroup(L"lang", pSecond));
    EXPECT_FALSE(manager.AddOptionGroup(L"lang", pFirst));
    CUIPtrArray* pGroup = manager.GetOptionGroup(L"lang");
    ASSERT_NE(pGroup, nullptr);
    EXPECT_EQ(pGroup->GetSize(), 2);
    EXPECT_EQ(pGroup->GetAt(0), pFirst);
    manager.RemoveOptionGroup(L"lang", pFirst);
    EXPECT_EQ(manager.GetOptionGroup(L"lang")->GetAt(0), pSecond);
    manager.RemoveOptionGroup(L"lang", pSecond);
    EXPECT_EQ(manager.GetOptionGroup(L"lang"), nullptr);
    manager.AddOptionGroup(L"other", pFirst);
    manager.ResetWindowResources();
    EXPECT_EQ(manager.GetOptionGroup(L"other"), nullptr);
}

TEST(UIManagerColors, SharedColorChangeFollowedWhileUnchanged)
{
    CUIManager first;
    CUIManager second;
    const uint32_t dwDefault = first.GetDefaultLinkFontColor();
    EXPECT_EQ(dwDefault, 0xFF0000FFu);
    EXPECT_EQ(first.GetDefaultDisabledColor(), 0xFFA7A6AAu);
    EXPECT_EQ(first.GetDefaultFontColor(), 0xFF000000u);
    EXPECT_EQ(first.GetDefaultLinkHoverFontColor(), 0xFFD3215Fu);
    EXPECT_EQ(first.GetDefaultSelectedBkColor(), 0xFFBAE4FFu);
    second.SetDefaultLinkFontColor(0xFF123456);
    first.SetDefaultLinkFontColor(0xFF00FF00, true);
    EXPECT_EQ(first.GetDefaultLinkFontColor(), 0xFF00FF00u);
    EXPECT_EQ(second.GetDefaultLinkFontColor(), 0xFF123456u);
    CUIManager third;
    EXPECT_EQ(third.GetDefaultLinkFontColor(), 0xFF00FF00u);
    first.SetDefaultLinkFontColor(dwDefault, true);
}

TEST(UIManagerWindowAttributes, AppliesWindowElementAttributes)
{
    CUIManager manager;
    manager.ApplyWindowAttribute(L"size", L"650,360");
    manager.ApplyWindowAttribute(L"SizeBox", L"4 4 6 6");
    manager.ApplyWindowAttribute(L"caption", L"0,0,0,36");
    manager.ApplyWindowAttribute(L"roundcorner", L"5,5");
    manager.ApplyWindowAttribute(L"mininfo", L"400,300");
    manager.ApplyWindowAttribute(L"maxinfo", L"800");
    manager.ApplyWindowAttribute(L"showdirty", L"TRUE");
    manager.ApplyWindowAttribute(L"NoActivate", L"true");
    manager.ApplyWindowAttribute(L"defaultfontcolor", L"#FF386382");
    manager.ApplyWindowAttribute(L"linkhoverfontcolor", L"FFD3215F");
    manager.ApplyWindowAttribute(L"selectedcolor", L"#garbage");
    manager.ApplyWindowAttribute(L"product", L"vellumpod");
    EXPECT_EQ(manager.GetInitSize().cx, 650);
    EXPECT_EQ(manager.GetInitSize().cy, 360);
    EXPECT_EQ(manager.GetSizeBox(), (RECT{4, 4, 6, 6}));
    EXPECT_EQ(manager.GetCaptionRect(), (RECT{0, 0, 0, 36}));
    EXPECT_EQ(manager.GetRoundCorner().cx, 5);
    EXPECT_EQ(manager.GetMinInfo().cy, 300);
    EXPECT_EQ(manager.GetMaxInfo().cx, 800);
    EXPECT_EQ(manager.GetMaxInfo().cy, 0);
    EXPECT_TRUE(manager.IsShowDirty());
    EXPECT_FALSE(manager.IsNoActivate());
    EXPECT_EQ(std::wstring(manager.GetWindowCustomAttribute(L"NoActivate")), L"true");
    EXPECT_EQ(manager.GetDefaultFontColor(), 0xFF386382u);
    EXPECT_EQ(manager.GetDefaultLinkHoverFontColor(), 0xFFD3215Fu);
    EXPECT_EQ(manager.GetDefaultSelectedBkColor(), 0u);
    EXPECT_EQ(std::wstring(manager.GetWindowCustomAttribute(L"product")), L"vellumpod");
}

TEST(UIManagerWindowAttributes, NumbersSurviveGarbage)
{
    struct Case {
        const char* pName;
        const wchar_t* pValue;
        RECT expected;
    };
    const Case cases[] = {
        {"empty", L"", RECT{0, 0, 0, 0}},
        {"trailing separator", L"1,2,", RECT{1, 2, 0, 0}},
        {"letters", L"a,b,c,d", RECT{0, 0, 0, 0}},
        {"overflow", L"99999999999999999999,-99999999999999999999,3,4", RECT{INT32_MAX, INT32_MIN, 3, 4}},
        {"too many", L"1,2,3,4,5,6", RECT{1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CUIManager manager;
        manager.ApplyWindowAttribute(L"caption", c.pValue);
        EXPECT_EQ(manager.GetCaptionRect(), c.expected);
    }
}

TEST(UIManagerWindowAttributes, OpacityLeavesLayeredMode)
{
    CUIManager manager;
    manager.SwitchLayered(true);
    manager.ApplyWindowAttribute(L"layeredopacity", L"200");
    EXPECT_TRUE(manager.IsLayered());
    EXPECT_TRUE(manager.IsLayeredChanged());
    EXPECT_EQ(manager.GetOpacity(), 200);
    manager.ApplyWindowAttribute(L"Opacity", L"128");
    EXPECT_EQ(manager.GetOpacity(), 128);
    EXPECT_FALSE(manager.IsLayered());
    manager.ApplyWindowAttribute(L"opacity", L"999");
    EXPECT_EQ(manager.GetOpacity(), 255);
}

}  // namespace
