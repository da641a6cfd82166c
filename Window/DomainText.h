#pragma once
// The domain value travels from the resource to the domain file byte for byte. Text that is
// valid UTF-8 becomes its characters; every byte that is not part of a valid sequence is kept
// as the code U+DC00 + byte (a lone surrogate, which no valid sequence yields) and written back
// as that byte.
#include <string>
#include <string_view>

std::wstring DomainBytesToWide(std::string_view bytes);
std::string WideToDomainBytes(std::wstring_view text);
