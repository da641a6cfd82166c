#pragma once
// Resources compiled into the executable (icon, skin archive, product pack, domain value),
// found by type and id as the installer names them: ("ICON", 101), ("ZIPRES", 104),
// ("RCDATA", 105), ("RCDATA", 106). The bytes live for the whole run and are read-only.
#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

inline constexpr std::wstring_view kResourceType_Icon = L"ICON";
inline constexpr std::wstring_view kResourceType_Zip = L"ZIPRES";
inline constexpr std::wstring_view kResourceType_RcData = L"RCDATA";

struct EmbeddedResource {
    const wchar_t* szType;
    int nId;
    const std::uint8_t* pBegin;
    const std::uint8_t* pEnd;
};

// The resource's bytes; empty when the executable carries no such resource. Type names
// compare without regard to ASCII case.
std::span<const std::uint8_t> FindResource(std::wstring_view type, int nId);

}  // namespace platform

// Defined by the generated resource table when the program links it (resources/).
extern "C" const platform::EmbeddedResource* NorvaneEmbeddedResources() __attribute__((weak));
