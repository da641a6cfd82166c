#pragma once
// A new random GUID, in the four fields of its usual textual form.
#include <cstdint>

namespace platform {

struct CGuidValue {
    std::uint32_t nData1 = 0;
    std::uint16_t nData2 = 0;
    std::uint16_t nData3 = 0;
    std::uint8_t abData4[8] = {};
};

bool CreateGuid(CGuidValue& guid);

}  // namespace platform
