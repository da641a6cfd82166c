#include <uuid/uuid.h>

#include "platform/Guid.h"

namespace platform {

bool CreateGuid(CGuidValue& guid) {
    uuid_t bytes;
    uuid_generate_random(bytes);
    // The textual form reads the first three fields as big-endian numbers.
    guid.nData1 = (static_cast<std::uint32_t>(bytes[0]) << 24) | (static_cast<std::uint32_t>(bytes[1]) << 16) |
                  (static_cast<std::uint32_t>(bytes[2]) << 8) | bytes[3];
    guid.nData2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    guid.nData3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i) guid.abData4[i] = bytes[8 + i];
    return true;
}

}  // namespace platform
