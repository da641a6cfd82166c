// Window attribute values and multi-language references from the skin: the input's first
// line is an attribute name, the rest its value, which is also expanded as a text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Text.h"
#include "ui/core/UIManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static CUIManager* s_pManager = [] {
        CUIManager::AddLanguageString(1, L"one");
        CUIManager::AddLanguageString(12, L"%{1}%{12}");
        return new CUIManager;
    }();
    const std::wstring strInput =
        platform::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(pData), nSize));
    const std::size_t nBreak = strInput.find(L'\n');
    const std::wstring strName = strInput.substr(0, nBreak);
    const std::wstring strValue = nBreak == std::wstring::npos ? std::wstring() : strInput.substr(nBreak + 1);
    // Layered images name files; reading arbitrary paths is not what this target is about.
    if (strName != L"layeredimage") {
        s_pManager->ApplyWindowAttribute(strName.c_str(), strValue.c_str());
    }
    CUIString strText(strValue.c_str());
    CUIManager::ExpandLanguageText(strText);
    s_pManager->RemoveAllWindowCustomAttributes();
    return 0;
}
