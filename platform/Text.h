#pragma once
// Text conversions and printf-style formatting. Wide text is wchar_t (UTF-32 here); narrow
// text is UTF-8. UTF-16LE appears only at the file formats that use it.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

std::string WideToUtf8(std::wstring_view text);
// Appends one code point as UTF-8; surrogates and values past U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t cp);
// Invalid UTF-8 sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
// Stops at the first NUL code unit; unpaired surrogates become U+FFFD. No BOM handling.
std::wstring Utf16LeToWide(const std::uint8_t* pData, std::size_t nBytes);
std::string WideToUtf16Le(std::wstring_view text);

// printf rules for narrow text. Answers false (and leaves out empty) when the format
// cannot be applied.
bool FormatNarrowV(std::string& out, const char* format, va_list args);
std::string FormatNarrow(const char* format, ...) __attribute__((format(printf, 1, 2)));

// printf rules for wide text with the meaning the system's wide formats give them:
// "%s" and "%c" take wide arguments, "%hs"/"%hc" narrow ones, "%ls"/"%lc" wide ones.
// (glibc reads a plain "%s" in a wide format as narrow; the format is translated first.)
bool FormatWideV(std::wstring& out, const wchar_t* format, va_list args);
std::wstring FormatWide(const wchar_t* format, ...);

// The format translated to glibc's wide-printf meaning; exposed for tests.
std::wstring TranslateWideFormat(std::wstring_view format);

}  // namespace platform
