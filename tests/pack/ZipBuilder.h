#pragma once
// Builds small zip archives for tests, with control over what the directory declares.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct ZipEntrySpec {
    ZipEntrySpec(std::string strEntryName, std::string strEntryData, bool bDeflated = true,
                 std::uint32_t dwAttributes = 0)
        : strName(std::move(strEntryName)),
          strData(std::move(strEntryData)),
          bDeflate(bDeflated),
          dwExternalAttributes(dwAttributes) {}
    ZipEntrySpec DeclaringSize(std::uint32_t nSize) const {
        ZipEntrySpec copy = *this;
        copy.declaredSize = nSize;
        return copy;
    }
    ZipEntrySpec DeclaringCrc(std::uint32_t nCrc) const {
        ZipEntrySpec copy = *this;
        copy.declaredCrc = nCrc;
        return copy;
    }

    std::string strName;
    std::string strData;
    bool bDeflate = true;
    std::uint32_t dwExternalAttributes = 0;
    std::optional<std::uint32_t> declaredSize;
    std::optional<std::uint32_t> declaredCrc;
};

// The archive's bytes; empty when minizip refused to write it.
std::string BuildZip(const std::vector<ZipEntrySpec>& vecEntries);

// Offset of the first occurrence of strNeedle in strHaystack; aborts the test when missing.
std::size_t OffsetOf(const std::string& strHaystack, const std::string& strNeedle);

}  // namespace testsupport
