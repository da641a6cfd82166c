#include "Window/ResourcePack.h"

#include <vector>

#include "Window/ArchiveEntryPath.h"
#include "common/LanguageManager.h"
#include "common/SystemQueries.h"
#include "log/Log.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/Resources.h"
#include "platform/Text.h"
#include "ui/controls/SkinArchive.h"

namespace {

constexpr int kPackResourceId = 105;
constexpr const wchar_t* kLanguageSubFolder = L"language/";

bool EnsureFolder(const std::wstring& strFolder) {
    if (platform::IsFolder(platform::WideToUtf8(strFolder))) return true;
    CreateFolderTree(strFolder);
    if (platform::IsFolder(platform::WideToUtf8(strFolder))) return true;
    platform::MakeFolder(platform::WideToUtf8(strFolder));
    return platform::IsFolder(platform::WideToUtf8(strFolder));
}

bool WriteEntryFile(const std::wstring& strPath, const std::vector<std::uint8_t>& vecData) {
    std::wstring strParent;
    if (GetFolderOfPath(strPath, strParent) && !EnsureFolder(strParent)) {
        LOG_INFOW(L"ERR: cannot create folder %s", strParent.c_str());
        return false;
    }
    // Replacing a file by rename makes ext4 flush it at once; an unchanged file is left as it is,
    // which keeps later starts from waiting on the disk.
    const std::string strNarrowPath = platform::WideToUtf8(strPath);
    if (platform::FileHoldsContents(strNarrowPath, vecData.data(), vecData.size())) return true;
    const int nError = platform::ReplaceFileContents(strNarrowPath, vecData.data(), vecData.size());
    if (nError != 0) {
        LOG_API_ERROR("ReplaceFileContents", static_cast<unsigned long>(nError), nullptr);
        LOG_INFOW(L"ERR: cannot write %s", strPath.c_str());
        return false;
    }
    return true;
}

// The sum of the sizes that the directory declares for the files that an unpack would read.
std::uint64_t DeclaredFileBytes(const SkinArchive& archive, int nCount) {
    std::uint64_t nTotal = 0;
    for (int nIndex = 0; nIndex < nCount; ++nIndex) {
        ArchiveItem item;
        if (archive.GetItem(nIndex, item) != kArchive_Ok || item.IsFolder()) continue;
        if (item.dwUncompressedSize <= kMaxUnpackEntryBytes) nTotal += item.dwUncompressedSize;
    }
    return nTotal;
}

// Answers whether the entry was unpacked; logs the reason when not.
bool UnpackEntry(SkinArchive& archive, const ArchiveItem& item, const std::wstring& strTarget, UnpackCounts& counts) {
    std::wstring strRelative;
    if (!SafeEntryPath(item.strName, strRelative)) {
        LOG_INFOW(L"ERR: skipped entry with unsafe name \"%s\"", item.strName.c_str());
        return false;
    }
    const std::wstring strPath = strTarget + strRelative;
    if (item.IsFolder()) {
        if (!EnsureFolder(strPath)) {
            LOG_INFOW(L"ERR: cannot create folder %s", strPath.c_str());
            return false;
        }
        ++counts.nFolders;
        return true;
    }
    if (item.dwUncompressedSize > kMaxUnpackEntryBytes) {
        LOG_INFOW(L"ERR: skipped entry %s of %u bytes: too large", item.strName.c_str(), item.dwUncompressedSize);
        return false;
    }
    std::vector<std::uint8_t> vecData;
    const std::uint32_t nResult = archive.ReadItem(item.nIndex, vecData, kMaxUnpackEntryBytes);
    if (nResult != kArchive_Ok) {
        LOG_INFOW(L"ERR: cannot unzip %s, code 0x%x", item.strName.c_str(), nResult);
        return false;
    }
    if (!WriteEntryFile(strPath, vecData)) return false;
    ++counts.nFiles;
    return true;
}

}  // namespace

UnpackCounts UnpackArchive(std::span<const std::uint8_t> bytes, const std::wstring& strTargetFolder) {
    UnpackCounts counts;
    std::wstring strTarget = strTargetFolder;
    if (strTarget.empty() || strTarget.back() != L'/') strTarget += L'/';
    if (!EnsureFolder(strTarget)) {
        LOG_INFOW(L"ERR: cannot create folder %s", strTarget.c_str());
        return counts;
    }
    SkinArchivePtr pArchive(SkinArchive::OpenFromMemory(bytes.data(), bytes.size()));
    if (!pArchive) {
        LOG_INFO("ERR: the pack is not a readable zip archive (%zu bytes)", bytes.size());
        return counts;
    }
    counts.bOpened = true;
    ArchiveItem count;
    pArchive->GetItem(-1, count);
    const std::uint64_t nTotalBytes = DeclaredFileBytes(*pArchive, count.nIndex);
    if (nTotalBytes > kMaxUnpackTotalBytes) {
        LOG_INFO("ERR: the pack declares %llu bytes: too large, nothing unpacked",
                 static_cast<unsigned long long>(nTotalBytes));
        counts.nSkipped = count.nIndex;
        return counts;
    }
    for (int nIndex = 0; nIndex < count.nIndex; ++nIndex) {
        ArchiveItem item;
        const bool bRead = pArchive->GetItem(nIndex, item) == kArchive_Ok;
        if (!bRead || !UnpackEntry(*pArchive, item, strTarget, counts)) ++counts.nSkipped;
    }
    return counts;
}

bool LoadResZipFile(const std::wstring& strTargetFolder) {
    LOG_INFO("LoadResZipFile");
    const std::span<const std::uint8_t> pack = platform::FindResource(platform::kResourceType_RcData, kPackResourceId);
    if (pack.empty()) {
        LOG_INFO("ERR: the program carries no product pack");
        return false;
    }
    const UnpackCounts counts = UnpackArchive(pack, strTargetFolder);
    return counts.bOpened && counts.nSkipped == 0;
}

bool PrepareLanguage(const std::wstring& strWorkFolder, LanguageManager& lm) {
    const std::wstring strFolder = strWorkFolder + kLanguageSubFolder;
    const bool bUnpacked = LoadResZipFile(strFolder);
    lm.Init(strFolder);
    LOG_INFOW(L"Language:%s Code:%s RightToLeft:%d", lm.GetLanguageName().c_str(), lm.GetLanguageCode().c_str(),
              lm.IsRightToLeft() ? 1 : 0);
    return bUnpacked;
}
