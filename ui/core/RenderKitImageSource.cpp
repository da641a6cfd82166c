#include <cstdint>
#include <fstream>
#include <vector>

#include "platform/Resources.h"
#include "platform/Text.h"
#include "ui/controls/SkinArchive.h"
#include "ui/core/UIManager.h"

namespace {

// No skin image comes near this; larger files are not read at all.
constexpr std::uint32_t kMaxImageFileBytes = 64u * 1024 * 1024;

bool ReadFile(const CUIString& strPath, std::vector<uint8_t>& bytes) {
    std::ifstream file(platform::WideToUtf8(strPath.View()), std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff nSize = file.tellg();
    if (nSize <= 0 || static_cast<std::uint64_t>(nSize) > kMaxImageFileBytes) return false;
    bytes.resize(static_cast<size_t>(nSize));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), nSize);
    return file.gcount() == nSize;
}

bool ReadFromResourceZip(const wchar_t* pName, std::vector<uint8_t>& bytes) {
    SkinArchivePtr pOwnedArchive;
    SkinArchive* pArchive = CUIManager::IsResourceZipKeptOpen() ? CUIManager::GetResourceZipArchive() : nullptr;
    if (!pArchive && CUIManager::GetResourceZip() != CUIManager::kMemoryZipName) {
        pOwnedArchive.reset(SkinArchive::OpenFromFile(
            std::wstring((CUIManager::GetResourcePath() + CUIManager::GetResourceZip()).View())));
        pArchive = pOwnedArchive.get();
    }
    if (!pArchive) return false;
    int nIndex = -1;
    ArchiveItem item;
    if (pArchive->FindItem(pName, true, nIndex, item) != kArchive_Ok) return false;
    return pArchive->ReadItem(nIndex, bytes, kMaxImageFileBytes) == kArchive_Ok && !bytes.empty();
}

bool ReadResource(const wchar_t* pName, const wchar_t* pResType, std::vector<uint8_t>& bytes) {
    // Compiled-in resources are known by number only.
    if (*pName < L'0' || *pName > L'9') return false;
    int nId = 0;
    for (const wchar_t* p = pName; *p >= L'0' && *p <= L'9' && nId < 100000000; ++p) nId = nId * 10 + (*p - L'0');
    const std::span<const std::uint8_t> resource = platform::FindResource(pResType, nId);
    if (resource.empty() || resource.size() > kMaxImageFileBytes) return false;
    bytes.assign(resource.begin(), resource.end());
    return true;
}

}  // namespace

// The bytes of a skin image: a compiled-in resource of the given type, else an entry of the
// resource zip when one is set, else a file under the resource path.
bool ReadImageBytes(const wchar_t* pName, const wchar_t* pResType, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (!pName || !*pName) return false;
    if (pResType) return ReadResource(pName, pResType, bytes);
    if (!CUIManager::GetResourceZip().IsEmpty()) return ReadFromResourceZip(pName, bytes);
    return ReadFile(CUIManager::GetResourcePath() + pName, bytes);
}

// A name read as a plain path, within the same size limit.
bool ReadImageFile(const wchar_t* pPath, std::vector<uint8_t>& bytes) {
    bytes.clear();
    return pPath && *pPath && ReadFile(CUIString(pPath), bytes);
}
