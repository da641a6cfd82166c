#include "Window/ArchiveEntryPath.h"

#include <algorithm>

#include "platform/Text.h"

namespace {

constexpr std::size_t kMaxRelativeBytes = 1024;
constexpr std::size_t kMaxPartBytes = 255;

bool SafePart(const std::wstring& strPart) {
    if (strPart.empty() || strPart == L"." || strPart == L"..") return false;
    if (platform::WideToUtf8(strPart).size() > kMaxPartBytes) return false;
    return std::none_of(strPart.begin(), strPart.end(),
                        [](wchar_t ch) { return ch < 0x20 || ch == 0x7F || ch == L':'; });
}

}  // namespace

bool SafeEntryPath(const std::wstring& strEntryName, std::wstring& strRelative) {
    strRelative.clear();
    // Either separator climbs on the system the pack was made for, so both count here.
    std::wstring strName = strEntryName;
    std::replace(strName.begin(), strName.end(), L'\\', L'/');
    if (!strName.empty() && strName.back() == L'/') strName.pop_back();
    if (strName.empty() || strName.front() == L'/') return false;
    if (platform::WideToUtf8(strName).size() > kMaxRelativeBytes) return false;
    std::size_t nStart = 0;
    while (nStart <= strName.size()) {
        std::size_t nEnd = strName.find(L'/', nStart);
        if (nEnd == std::wstring::npos) nEnd = strName.size();
        if (!SafePart(strName.substr(nStart, nEnd - nStart))) return false;
        nStart = nEnd + 1;
    }
    strRelative = strName;
    return true;
}
