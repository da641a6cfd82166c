#include "Window/DomainText.h"

#include <cstdint>

#include "platform/Text.h"

namespace {

constexpr char32_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at the start of bytes (its code in nCode), or 0.
std::size_t DecodeSequence(std::string_view bytes, char32_t& nCode) {
    const auto nLead = static_cast<std::uint8_t>(bytes[0]);
    std::size_t nLength = 0;
    char32_t nMinimum = 0;
    if (nLead < 0x80) {
        nCode = nLead;
        return 1;
    } else if (nLead >= 0xC2 && nLead <= 0xDF) {
        nLength = 2, nCode = nLead & 0x1F, nMinimum = 0x80;
    } else if (nLead >= 0xE0 && nLead <= 0xEF) {
        nLength = 3, nCode = nLead & 0x0F, nMinimum = 0x800;
    } else if (nLead >= 0xF0 && nLead <= 0xF4) {
        nLength = 4, nCode = nLead & 0x07, nMinimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < nLength) return 0;
    for (std::size_t i = 1; i < nLength; ++i) {
        const auto nByte = static_cast<std::uint8_t>(bytes[i]);
        if ((nByte & 0xC0) != 0x80) return 0;
        nCode = (nCode << 6) | (nByte & 0x3F);
    }
    if (nCode < nMinimum || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF)) return 0;
    return nLength;
}

}  // namespace

std::wstring DomainBytesToWide(std::string_view bytes) {
    std::wstring text;
    while (!bytes.empty()) {
        char32_t nCode = 0;
        std::size_t nLength = DecodeSequence(bytes, nCode);
        if (nLength == 0) {
            nCode = kEscapeBase + static_cast<std::uint8_t>(bytes[0]);
            nLength = 1;
        }
        text += static_cast<wchar_t>(nCode);
        bytes.remove_prefix(nLength);
    }
    return text;
}

std::string WideToDomainBytes(std::wstring_view text) {
    std::string bytes;
    for (wchar_t ch : text) {
        const auto nCode = static_cast<char32_t>(ch);
        if (nCode >= kEscapeBase + 0x80 && nCode <= kEscapeBase + 0xFF) {
            bytes += static_cast<char>(nCode - kEscapeBase);
        } else {
            platform::AppendUtf8(bytes, nCode);
        }
    }
    return bytes;
}
