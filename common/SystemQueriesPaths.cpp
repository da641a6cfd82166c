#include "common/SystemQueries.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace {

constexpr wchar_t kSeparator = L'/';
constexpr wchar_t kForeignSeparator = L'\\';

std::string ToPlatformPath(const std::wstring& path) {
    return platform::WideToUtf8(path);
}

}  // namespace

void NormalizePath(std::wstring& path) {
    for (wchar_t& ch : path) {
        if (ch == kForeignSeparator) ch = kSeparator;
    }
    // One pass over pairs: two separators become one, three become two, four become two.
    std::wstring result;
    result.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        result += path[i];
        if (path[i] == kSeparator && i + 1 < path.size() && path[i + 1] == kSeparator) ++i;
    }
    path.swap(result);
}

void TrimTrailingBackslash(std::wstring& path) {
    if (path.empty()) return;
    NormalizePath(path);
    if (path.size() > 1 && path.back() == kSeparator) path.pop_back();
}

bool GetFolderOfPath(const std::wstring& path, std::wstring& folder) {
    std::wstring copy = path;
    NormalizePath(copy);
    const std::size_t last = copy.rfind(kSeparator);
    if (last == std::wstring::npos) return false;
    folder = copy.substr(0, last);
    return true;
}

std::wstring GetFileNameOfPath(const std::wstring& path) {
    std::wstring copy = path;
    for (wchar_t& ch : copy) {
        if (ch == kForeignSeparator) ch = kSeparator;
    }
    const std::size_t last = copy.rfind(kSeparator);
    return last == std::wstring::npos ? copy : copy.substr(last + 1);
}

std::wstring GetBaseNameOfPath(const std::wstring& path) {
    std::wstring name = GetFileNameOfPath(path);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

bool PathExists(const std::wstring& path) {
    std::wstring copy = path;
    NormalizePath(copy);
    return platform::Exists(ToPlatformPath(copy));
}

bool FileCanBeRead(const std::wstring& path) {
    return platform::CanOpenForReading(ToPlatformPath(path));
}

bool CreateFolderTree(const std::wstring& path) {
    std::wstring folder = path;
    TrimTrailingBackslash(folder);
    if (folder.empty()) return false;
    if (PathExists(folder)) return true;
    folder += kSeparator;
    NormalizePath(folder);
    for (std::size_t i = 1; i < folder.size(); ++i) {
        if (folder[i] != kSeparator) continue;
        const std::wstring prefix = folder.substr(0, i);
        if (!PathExists(prefix)) platform::MakeFolder(ToPlatformPath(prefix));
    }
    platform::MakeFolder(ToPlatformPath(folder));
    return PathExists(folder);
}
