#include "log/LogCategory.h"

#include "common/SystemQueries.h"
#include "platform/Text.h"

std::string LogCategoryOfPath(const std::wstring& modulePath) {
    std::wstring name = GetFileNameOfPath(modulePath);
    const std::size_t dot = name.find(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return platform::WideToUtf8(name);
}

const std::string& LogCategoryName() {
    static const std::string name = LogCategoryOfPath(GetModulePath());
    return name;
}

std::wstring LogDefaultFolder() {
    std::wstring folder;
    if (!GetFolderOfPath(GetModulePath(), folder)) folder.clear();
    return platform::FormatWide(L"%s/Log", folder.c_str());
}
