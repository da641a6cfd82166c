#include "platform/Resources.h"

#include <cwctype>

namespace platform {
namespace {

bool SameTypeName(std::wstring_view a, const wchar_t* szB) {
    std::size_t i = 0;
    for (; i < a.size(); ++i) {
        if (szB[i] == L'\0' || std::towupper(a[i]) != std::towupper(szB[i])) return false;
    }
    return szB[i] == L'\0';
}

}  // namespace

std::span<const std::uint8_t> FindResource(std::wstring_view type, int nId) {
    // Programs and tests that do not link the resource table see no resources at all.
    if (NorvaneEmbeddedResources == nullptr) return {};
    for (const EmbeddedResource* pEntry = NorvaneEmbeddedResources(); pEntry->szType != nullptr; ++pEntry) {
        if (pEntry->nId == nId && SameTypeName(type, pEntry->szType)) {
            return {pEntry->pBegin, static_cast<std::size_t>(pEntry->pEnd - pEntry->pBegin)};
        }
    }
    return {};
}

}  // namespace platform
