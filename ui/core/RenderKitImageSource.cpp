#include <cstdint>
#include <vector>

// The bytes of a skin image named by the skin: a resource of the given type, or an entry of
// the resource zip, or a file under the resource path.
bool ReadImageBytes(const wchar_t* pName, const wchar_t* pResType, std::vector<uint8_t>& bytes) {
    (void)pName;
    (void)pResType;
    bytes.clear();
    return false;
}
