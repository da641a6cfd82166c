// Private-profile files as the installer's packs use them: ASCII/UTF-8 or UTF-16LE with BOM.
#include <vector>

#include "common/SystemQueries.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace {

constexpr std::size_t kMaxValueLength = 255;
constexpr std::size_t kSectionBufferLength = 4096;

std::wstring DecodeIniBytes(const std::string& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (bytes.size() >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        return platform::Utf16LeToWide(data + 2, bytes.size() - 2);
    }
    if (bytes.size() >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        return platform::Utf8ToWide(std::string_view(bytes).substr(3));
    }
    return platform::Utf8ToWide(bytes);
}

std::vector<std::wstring> ReadIniLines(const std::wstring& iniFile) {
    std::string bytes;
    if (!platform::ReadFileBytes(platform::WideToUtf8(iniFile), bytes)) return {};
    const std::wstring text = DecodeIniBytes(bytes);
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool IsBlank(wchar_t ch) {
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\v' || ch == L'\f';
}

std::wstring Trim(const std::wstring& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

wchar_t FoldCase(wchar_t ch) {
    return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

// The section's name when the line is a section header; empty otherwise.
bool SectionHeaderName(const std::wstring& line, std::wstring& name) {
    const std::wstring trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != L'[') return false;
    const std::size_t close = trimmed.find(L']');
    name = Trim(trimmed.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
    return true;
}

// The entries (trimmed lines, comments left out) of the first section of that name.
std::vector<std::wstring> SectionEntries(const std::wstring& iniFile, const std::wstring& section) {
    std::vector<std::wstring> entries;
    bool inSection = false;
    bool seen = false;
    for (const std::wstring& line : ReadIniLines(iniFile)) {
        std::wstring name;
        if (SectionHeaderName(line, name)) {
            if (seen) break;
            inSection = EqualsIgnoringCase(name, Trim(section));
            seen = inSection;
            continue;
        }
        const std::wstring entry = Trim(line);
        if (inSection && !entry.empty() && entry.front() != L';') entries.push_back(entry);
    }
    return entries;
}

std::wstring Unquote(const std::wstring& value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::wstring ReadIniString(const std::wstring& iniFile, const std::wstring& section, const std::wstring& key) {
    const std::wstring wantedKey = Trim(key);
    for (const std::wstring& entry : SectionEntries(iniFile, section)) {
        const std::size_t equals = entry.find(L'=');
        if (equals == std::wstring::npos || !EqualsIgnoringCase(Trim(entry.substr(0, equals)), wantedKey)) continue;
        std::wstring value = Unquote(Trim(entry.substr(equals + 1)));
        if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
        return value;
    }
    return {};
}

bool ReadIniSection(const std::wstring& iniFile, const std::wstring& section,
                    std::map<std::wstring, std::wstring>& table) {
    // The section arrives as "entry\0entry\0\0" in a buffer of fixed size; a longer section is cut
    // there, the last entry possibly in the middle.
    std::size_t used = 0;
    const std::size_t capacity = kSectionBufferLength - 2;
    for (std::wstring entry : SectionEntries(iniFile, section)) {
        if (used >= capacity) break;
        if (used + entry.size() > capacity) entry.resize(capacity - used);
        used += entry.size() + 1;
        const std::size_t equals = entry.find(L'=');
        if (equals == std::wstring::npos) {
            table[entry] = std::wstring();
        } else {
            table[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
    }
    return true;
}
