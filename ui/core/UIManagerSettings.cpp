#include <algorithm>
#include <climits>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "ui/core/UIManager.h"
#include "ui/core/UIManagerShared.h"

CUIManager::CSharedResources::~CSharedResources()
{
    FreeFontTable(fonts);
    FreeImageTable(images);
    FreeAttributeTable(defaultAttributes);
    FreeAttributeTable(languageTexts);
    FreeFontRecord(&defaultFont);
}

void CUIManager::CSharedResources::CloseZip()
{
    pZip.reset();
}

CUIManager::CSharedResources& CUIManager::Shared()
{
    static CSharedResources shared;
    return shared;
}

void CUIManager::SetInstance(ModuleHandle hInstance)
{
    Shared().hInstance = hInstance;
}

ModuleHandle CUIManager::GetInstance()
{
    return Shared().hInstance;
}

CUIString CUIManager::GetInstancePath()
{
    if (Shared().hInstance == nullptr) {
        return CUIString();
    }
    const std::string strProgram = platform::ExecutablePath();
    const std::size_t nSlash = strProgram.rfind('/');
    if (nSlash == std::string::npos) {
        return CUIString();
    }
    return CUIString(platform::Utf8ToWide(strProgram.substr(0, nSlash + 1)));
}

ModuleHandle CUIManager::GetResourceModule()
{
    return Shared().hResourceModule != nullptr ? Shared().hResourceModule : Shared().hInstance;
}

void CUIManager::SetResourcePath(const wchar_t* pPath)
{
    CUIString& strPath = Shared().strResourcePath;
    strPath = pPath;
    if (strPath.IsEmpty()) {
        return;
    }
    const wchar_t chLast = strPath.GetAt(strPath.GetLength() - 1);
    if (chLast != L'/' && chLast != L'\\') {
        strPath += L'/';
    }
}

const CUIString& CUIManager::GetResourcePath()
{
    return Shared().strResourcePath;
}

void CUIManager::SetResourceZipFile(const wchar_t* pZipName, bool bKeepOpen)
{
    CSharedResources& shared = Shared();
    if (shared.strResourceZip == (pZipName != nullptr ? pZipName : L"") && shared.bKeepZipOpen == bKeepOpen) {
        return;
    }
    shared.CloseZip();
    shared.strResourceZip = pZipName;
    shared.bKeepZipOpen = bKeepOpen;
    if (bKeepOpen && !shared.strResourceZip.IsEmpty()) {
        shared.pZip.reset(SkinArchive::OpenFromFile(std::wstring((shared.strResourcePath + shared.strResourceZip).View())));
    }
}

void CUIManager::SetResourceZipData(const void* pData, std::size_t nSize)
{
    CSharedResources& shared = Shared();
    if (shared.strResourceZip == kMemoryZipName) {
        return;
    }
    shared.CloseZip();
    shared.strResourceZip = kMemoryZipName;
    if (shared.bKeepZipOpen) {
        shared.pZip.reset(SkinArchive::OpenFromMemory(pData, nSize));
    }
}

const CUIString& CUIManager::GetResourceZip()
{
    return Shared().strResourceZip;
}

bool CUIManager::IsResourceZipKeptOpen()
{
    return Shared().bKeepZipOpen;
}

SkinArchive* CUIManager::GetResourceZipArchive()
{
    return Shared().pZip.get();
}

void CUIManager::AddLanguageString(int nId, const wchar_t* pText)
{
    const std::wstring strKey = std::to_wstring(nId);
    CUIString* pOld = static_cast<CUIString*>(Shared().languageTexts.Set(strKey.c_str(), new CUIString(pText)));
    delete pOld;
}

const wchar_t* CUIManager::GetLanguageString(int nId)
{
    const std::wstring strKey = std::to_wstring(nId);
    const CUIString* pText = static_cast<const CUIString*>(Shared().languageTexts.Find(strKey.c_str()));
    return pText != nullptr ? pText->GetData() : nullptr;
}

void CUIManager::RemoveAllLanguageStrings()
{
    FreeAttributeTable(Shared().languageTexts);
}

namespace {

// Reads "%{digits}" at pText; answers the characters it spans, or 0 when it is no reference.
int ReadLanguageReference(const wchar_t* pText, int& nId)
{
    if (pText[0] != L'%' || pText[1] != L'{') {
        return 0;
    }
    long long nValue = 0;
    int nPos = 2;
    while (pText[nPos] >= L'0' && pText[nPos] <= L'9') {
        nValue = nValue * 10 + (pText[nPos] - L'0');
        if (nValue > INT_MAX) {
            return 0;
        }
        ++nPos;
    }
    if (nPos == 2 || pText[nPos] != L'}') {
        return 0;
    }
    nId = static_cast<int>(nValue);
    return nPos + 1;
}

// A text put in for a reference may hold references itself. Those are expanded too, except
// one to a text already being expanded, so texts referring to themselves or to each other
// cannot make the expansion run forever; nesting and the result's length are bounded besides.
constexpr std::size_t kMaxLanguageNesting = 8;
constexpr int kMaxExpandedLength = 1 << 20;

void ExpandLanguageInto(const wchar_t* pText, std::vector<int>& activeIds, CUIString& strResult)
{
    int nPos = 0;
    while (pText[nPos] != L'\0') {
        int nId = 0;
        const int nLength = ReadLanguageReference(pText + nPos, nId);
        const wchar_t* pReplacement = nLength > 0 ? CUIManager::GetLanguageString(nId) : nullptr;
        const bool bExpand = pReplacement != nullptr && activeIds.size() < kMaxLanguageNesting &&
                             std::find(activeIds.begin(), activeIds.end(), nId) == activeIds.end() &&
                             strResult.GetLength() < kMaxExpandedLength;
        if (bExpand) {
            activeIds.push_back(nId);
            ExpandLanguageInto(pReplacement, activeIds, strResult);
            activeIds.pop_back();
            nPos += nLength;
        } else {
            strResult += pText[nPos];
            ++nPos;
        }
    }
}

}  // namespace

void CUIManager::ExpandLanguageText(CUIString& strText)
{
    if (strText.Find(L"%{") < 0) {
        return;
    }
    CUIString strResult;
    std::vector<int> activeIds;
    ExpandLanguageInto(strText.GetData(), activeIds, strResult);
    strText = strResult;
}

void CUIManager::ExpandLanguageRefs(CUIString& strText) const
{
    ExpandLanguageText(strText);
}

void CUIManager::SetColorShift(bool bUse, short nHue, short nSaturation, short nLightness)
{
    CSharedResources& shared = Shared();
    shared.bUseColorShift = bUse;
    shared.nHue = nHue;
    shared.nSaturation = nSaturation;
    shared.nLightness = nLightness;
}

void CUIManager::GetColorShift(bool& bUse, short& nHue, short& nSaturation, short& nLightness)
{
    const CSharedResources& shared = Shared();
    bUse = shared.bUseColorShift;
    nHue = shared.nHue;
    nSaturation = shared.nSaturation;
    nLightness = shared.nLightness;
}
