#include "platform/Text.h"

#include <cwchar>
#include <vector>

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {

// Decodes one UTF-8 sequence at text[i]; advances i past it (one byte on error).
char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0) {
        ++i;
        return kReplacement;
    }
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    if (i + static_cast<std::size_t>(extra) >= text.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto cont = static_cast<unsigned char>(text[i + k]);
        if ((cont & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (cont & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    i += static_cast<std::size_t>(extra) + 1;
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
    return cp;
}

}  // namespace

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t ch : text) AppendUtf8(out, static_cast<char32_t>(ch));
    return out;
}

std::wstring Utf8ToWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) out += static_cast<wchar_t>(DecodeUtf8(text, i));
    return out;
}

std::wstring Utf16LeToWide(const std::uint8_t* pData, std::size_t nBytes) {
    std::wstring out;
    out.reserve(nBytes / 2);
    for (std::size_t i = 0; i + 1 < nBytes; i += 2) {
        char32_t unit = pData[i] | (pData[i + 1] << 8);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < nBytes) {
            char32_t low = pData[i + 2] | (pData[i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) unit = kReplacement;
        out += static_cast<wchar_t>(unit);
    }
    return out;
}

std::string WideToUtf16Le(std::wstring_view text) {
    std::string out;
    auto put = [&out](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>((unit >> 8) & 0xFF);
    };
    for (wchar_t ch : text) {
        auto cp = static_cast<char32_t>(ch);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

bool FormatNarrowV(std::string& out, const char* format, va_list args) {
    out.clear();
    if (!format) return false;
    va_list measure;
    va_copy(measure, args);
    const int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed < 0) return false;
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    out.assign(buffer.data(), static_cast<std::size_t>(needed));
    return true;
}

std::string FormatNarrow(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out;
    FormatNarrowV(out, format, args);
    va_end(args);
    return out;
}

std::wstring TranslateWideFormat(std::wstring_view format) {
    std::wstring out;
    out.reserve(format.size() + 8);
    for (std::size_t i = 0; i < format.size(); ++i) {
        out += format[i];
        if (format[i] != L'%') continue;
        // Copy flags, width, precision; then look at the length modifier and conversion.
        std::size_t j = i + 1;
        while (j < format.size() && std::wcschr(L"-+ #0123456789.*'", format[j])) out += format[j++];
        if (j >= format.size()) break;
        if (format[j] == L'%') {
            out += L'%';
            i = j;
            continue;
        }
        if (format[j] == L'h' && j + 1 < format.size() && (format[j + 1] == L's' || format[j + 1] == L'c')) {
            out += format[j + 1];  // "%hs" is narrow: glibc's plain "%s" in a wide format
            i = j + 1;
            continue;
        }
        if (format[j] == L's' || format[j] == L'c') {
            out += L'l';
            out += format[j];
            i = j;
            continue;
        }
        i = j - 1;  // other conversions continue unchanged from j
    }
    return out;
}

bool FormatWideV(std::wstring& out, const wchar_t* format, va_list args) {
    out.clear();
    if (!format) return false;
    const std::wstring translated = TranslateWideFormat(format);
    // vswprintf cannot measure, so grow until the text fits.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list attempt;
        va_copy(attempt, args);
        const int written = std::vswprintf(buffer.data(), buffer.size(), translated.c_str(), attempt);
        va_end(attempt);
        if (written >= 0) {
            out.assign(buffer.data(), static_cast<std::size_t>(written));
            return true;
        }
        if (buffer.size() >= (std::size_t{1} << 22)) return false;  // a format error, not a short buffer
        buffer.resize(buffer.size() * 4);
    }
}

std::wstring FormatWide(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring out;
    FormatWideV(out, format, args);
    va_end(args);
    return out;
}

}  // namespace platform
