#include "ui/controls/SkinArchive.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/Text.h"

namespace {

// A directory larger than this is taken for a corrupt or hostile archive.
constexpr std::uint64_t kMaxEntries = 65535;
constexpr std::size_t kMaxStoredName = 4096;
constexpr std::uint32_t kUnixDirectoryBit = 0x40000000;
constexpr std::uint16_t kExtendedTimestampTag = 0x5455;
constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ULL;
constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000ULL;

std::uint64_t UnixTimeToFileTime(std::int64_t nSeconds) {
    if (nSeconds < 0) return 0;
    return kFileTimeUnixEpoch + static_cast<std::uint64_t>(nSeconds) * kFileTimeTicksPerSecond;
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12).
std::int64_t DaysFromCivil(std::int64_t nYear, unsigned nMonth, unsigned nDay) {
    nYear -= nMonth <= 2 ? 1 : 0;
    const std::int64_t nEra = (nYear >= 0 ? nYear : nYear - 399) / 400;
    const auto nYearOfEra = static_cast<unsigned>(nYear - nEra * 400);
    const unsigned nDayOfYear = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
    const unsigned nDayOfEra = nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
    return nEra * 146097 + static_cast<std::int64_t>(nDayOfEra) - 719468;
}

// The directory's DOS time carries no zone; it is taken as UTC.
std::uint64_t DosDateToFileTime(const tm_unz& date) {
    const std::int64_t nDays = DaysFromCivil(static_cast<std::int64_t>(date.tm_year), date.tm_mon + 1, date.tm_mday);
    const std::int64_t nSeconds = nDays * 86400 + date.tm_hour * 3600 + date.tm_min * 60 + date.tm_sec;
    return UnixTimeToFileTime(nSeconds);
}

std::uint32_t ReadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The "UT" extra field: flags, then modification, access and creation times as present.
// The central directory copy usually carries only the modification time.
void ApplyExtendedTimestamp(const std::vector<std::uint8_t>& vecExtra, ArchiveItem& item) {
    std::size_t nPos = 0;
    while (nPos + 4 <= vecExtra.size()) {
        const std::uint16_t nTag = static_cast<std::uint16_t>(vecExtra[nPos] | (vecExtra[nPos + 1] << 8));
        const std::size_t nSize = static_cast<std::size_t>(vecExtra[nPos + 2] | (vecExtra[nPos + 3] << 8));
        const std::size_t nData = nPos + 4;
        if (nData + nSize > vecExtra.size()) return;
        if (nTag == kExtendedTimestampTag && nSize >= 1) {
            const std::uint8_t nFlags = vecExtra[nData];
            std::size_t nField = nData + 1;
            const std::size_t nEnd = nData + nSize;
            std::uint64_t* apTargets[] = {&item.ftModificationTime, &item.ftAccessTime, &item.ftCreationTime};
            for (int nBit = 0; nBit < 3; ++nBit) {
                if ((nFlags & (1 << nBit)) == 0) continue;
                if (nField + 4 > nEnd) break;
                const auto nSeconds = static_cast<std::int32_t>(ReadLe32(&vecExtra[nField]));
                *apTargets[nBit] = UnixTimeToFileTime(nSeconds);
                nField += 4;
            }
            return;
        }
        nPos = nData + nSize;
    }
}

std::uint32_t AttributesOf(const std::string& strRawName, std::uint32_t nExternal) {
    std::uint32_t dwAttributes =
        nExternal & (kArchiveAttribute_ReadOnly | kArchiveAttribute_Hidden | kArchiveAttribute_System |
                     kArchiveAttribute_Directory | kArchiveAttribute_Archive);
    const bool bFolderName = !strRawName.empty() && strRawName.back() == '/';
    if (bFolderName || (nExternal & kUnixDirectoryBit) != 0) dwAttributes |= kArchiveAttribute_Directory;
    if (dwAttributes == 0) dwAttributes = kArchiveAttribute_Normal;
    return dwAttributes;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool NamesEqual(const std::string& strA, const std::string& strB, bool bIgnoreCase) {
    if (strA.size() != strB.size()) return false;
    if (!bIgnoreCase) return strA == strB;
    for (std::size_t i = 0; i < strA.size(); ++i) {
        if (FoldAscii(strA[i]) != FoldAscii(strB[i])) return false;
    }
    return true;
}

}  // namespace

// The bytes the reader sees: a file of its own or the caller's memory. minizip reaches it
// through the I/O callbacks below, with the Source itself as the stream handle.
struct SkinArchive::Source {
    std::FILE* pFile = nullptr;
    const std::uint8_t* pBytes = nullptr;
    std::uint64_t nLength = 0;
    std::uint64_t nPosition = 0;
    bool bError = false;

    ~Source() {
        if (pFile != nullptr) std::fclose(pFile);
    }

    std::uint64_t Read(void* pBuffer, std::uint64_t nSize) {
        if (pFile != nullptr) {
            const std::size_t nRead = std::fread(pBuffer, 1, nSize, pFile);
            if (nRead < nSize && std::ferror(pFile)) bError = true;
            return nRead;
        }
        const std::uint64_t nAvailable = nPosition < nLength ? nLength - nPosition : 0;
        const std::uint64_t nCopy = std::min(nSize, nAvailable);
        if (nCopy > 0) std::memcpy(pBuffer, pBytes + nPosition, nCopy);
        nPosition += nCopy;
        return nCopy;
    }

    std::uint64_t Tell() {
        if (pFile != nullptr) {
            const long nOffset = std::ftell(pFile);
            return nOffset < 0 ? static_cast<std::uint64_t>(-1) : static_cast<std::uint64_t>(nOffset);
        }
        return nPosition;
    }

    bool Seek(std::uint64_t nOffset, int nOrigin) {
        if (pFile != nullptr) {
            const int nWhence = nOrigin == ZLIB_FILEFUNC_SEEK_SET   ? SEEK_SET
                                : nOrigin == ZLIB_FILEFUNC_SEEK_CUR ? SEEK_CUR
                                                                    : SEEK_END;
            if (nOffset > static_cast<std::uint64_t>(LONG_MAX)) return false;
            return std::fseek(pFile, static_cast<long>(nOffset), nWhence) == 0;
        }
        std::uint64_t nBase = 0;
        if (nOrigin == ZLIB_FILEFUNC_SEEK_CUR) nBase = nPosition;
        if (nOrigin == ZLIB_FILEFUNC_SEEK_END) nBase = nLength;
        const std::uint64_t nTarget = nBase + nOffset;
        if (nTarget < nBase || nTarget > nLength) return false;
        nPosition = nTarget;
        return true;
    }
};

struct SkinArchive::Entry {
    unz64_file_pos position{};
    std::string strRawName;
    ArchiveItem item;
    std::uint64_t nUncompressedSize = 0;
};

namespace {

voidpf ZCALLBACK OpenSource(voidpf, const void* pName, int) { return const_cast<void*>(pName); }

template <typename TSource>
uLong ZCALLBACK ReadSource(voidpf, voidpf pStream, void* pBuffer, uLong nSize) {
    return static_cast<uLong>(static_cast<TSource*>(pStream)->Read(pBuffer, nSize));
}

uLong ZCALLBACK WriteSource(voidpf, voidpf, const void*, uLong) { return 0; }

template <typename TSource>
ZPOS64_T ZCALLBACK TellSource(voidpf, voidpf pStream) {
    return static_cast<TSource*>(pStream)->Tell();
}

template <typename TSource>
long ZCALLBACK SeekSource(voidpf, voidpf pStream, ZPOS64_T nOffset, int nOrigin) {
    return static_cast<TSource*>(pStream)->Seek(nOffset, nOrigin) ? 0 : -1;
}

int ZCALLBACK CloseSource(voidpf, voidpf) { return 0; }

template <typename TSource>
int ZCALLBACK ErrorSource(voidpf, voidpf pStream) {
    return static_cast<TSource*>(pStream)->bError ? 1 : 0;
}

std::wstring CurrentFolder() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error);
    if (error) return L"/";
    std::wstring strFolder = platform::Utf8ToWide(path.string());
    if (strFolder.empty() || strFolder.back() != L'/') strFolder += L'/';
    return strFolder;
}

}  // namespace

SkinArchive::SkinArchive() = default;

SkinArchive::~SkinArchive() {
    CloseStream();
    if (m_hReader != nullptr) unzClose(static_cast<unzFile>(m_hReader));
}

SkinArchive* SkinArchive::OpenFromFile(const std::wstring& strPath) {
    if (strPath.empty()) return nullptr;
    auto pSource = std::make_unique<Source>();
    pSource->pFile = std::fopen(platform::WideToUtf8(strPath).c_str(), "rbe");
    if (pSource->pFile == nullptr) return nullptr;
    return Open(std::move(pSource));
}

SkinArchive* SkinArchive::OpenFromMemory(const void* pBytes, std::size_t nLength) {
    if (pBytes == nullptr || nLength == 0) return nullptr;
    auto pSource = std::make_unique<Source>();
    pSource->pBytes = static_cast<const std::uint8_t*>(pBytes);
    pSource->nLength = nLength;
    return Open(std::move(pSource));
}

SkinArchive* SkinArchive::Open(std::unique_ptr<Source> pSource) {
    zlib_filefunc64_def functions{};
    functions.zopen64_file = OpenSource;
    functions.zread_file = ReadSource<Source>;
    functions.zwrite_file = WriteSource;
    functions.ztell64_file = TellSource<Source>;
    functions.zseek64_file = SeekSource<Source>;
    functions.zclose_file = CloseSource;
    functions.zerror_file = ErrorSource<Source>;

    std::unique_ptr<SkinArchive> pArchive(new SkinArchive());
    unzFile hReader = unzOpen2_64(pSource.get(), &functions);
    if (hReader == nullptr) return nullptr;
    pArchive->m_pSource = std::move(pSource);
    pArchive->m_hReader = hReader;
    pArchive->m_strRootFolder = CurrentFolder();
    if (!pArchive->ReadDirectory()) return nullptr;
    return pArchive.release();
}

std::uint32_t SkinArchive::Close(SkinArchive* pArchive) {
    if (pArchive == nullptr) return kArchive_BadArguments;
    delete pArchive;
    return kArchive_Ok;
}

// The whole directory is read once, so lookups and descriptions never walk it again.
bool SkinArchive::ReadDirectory() {
    auto hReader = static_cast<unzFile>(m_hReader);
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(hReader, &global) != UNZ_OK) return false;
    if (global.number_entry > kMaxEntries) return false;
    m_vecEntries.reserve(static_cast<std::size_t>(global.number_entry));
    if (global.number_entry == 0) return true;

    int nResult = unzGoToFirstFile(hReader);
    while (nResult == UNZ_OK) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(hReader, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
        if (info.size_filename > kMaxStoredName) return false;
        std::string strName(info.size_filename, '\0');
        std::vector<std::uint8_t> vecExtra(info.size_file_extra);
        if (unzGetCurrentFileInfo64(hReader, &info, strName.data(), static_cast<uLong>(strName.size()), vecExtra.data(),
                                    static_cast<uLong>(vecExtra.size()), nullptr, 0) != UNZ_OK) {
            return false;
        }
        Entry entry;
        if (unzGetFilePos64(hReader, &entry.position) != UNZ_OK) return false;
        entry.strRawName = std::move(strName);
        entry.nUncompressedSize = info.uncompressed_size;
        ArchiveItem& item = entry.item;
        item.nIndex = static_cast<std::int32_t>(m_vecEntries.size());
        item.strName = platform::Utf8ToWide(entry.strRawName);
        item.dwAttributes = AttributesOf(entry.strRawName, static_cast<std::uint32_t>(info.external_fa));
        item.ftModificationTime = DosDateToFileTime(info.tmu_date);
        item.ftAccessTime = item.ftModificationTime;
        item.ftCreationTime = item.ftModificationTime;
        ApplyExtendedTimestamp(vecExtra, item);
        item.dwCompressedSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(info.compressed_size, UINT32_MAX));
        item.dwUncompressedSize =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(info.uncompressed_size, UINT32_MAX));
        m_vecEntries.push_back(std::move(entry));
        if (m_vecEntries.size() > kMaxEntries) return false;
        nResult = unzGoToNextFile(hReader);
    }
    return nResult == UNZ_END_OF_LIST_OF_FILE && m_vecEntries.size() == global.number_entry;
}

int SkinArchive::GetItemCount() const { return static_cast<int>(m_vecEntries.size()); }

std::uint32_t SkinArchive::GetItem(int nIndex, ArchiveItem& item) const {
    if (nIndex == -1) {
        item = ArchiveItem{};
        item.nIndex = GetItemCount();
        return kArchive_Ok;
    }
    if (nIndex < 0 || nIndex >= GetItemCount()) return kArchive_BadArguments;
    item = m_vecEntries[static_cast<std::size_t>(nIndex)].item;
    return kArchive_Ok;
}

std::uint32_t SkinArchive::FindItem(const std::wstring& strName, bool bIgnoreCase, int& nIndex,
                                    ArchiveItem& item) const {
    nIndex = -1;
    item = ArchiveItem{};
    if (strName.size() > kArchiveMaxLookupName) return kArchive_NotFound;
    std::string strWanted = platform::WideToUtf8(strName);
    std::replace(strWanted.begin(), strWanted.end(), '\\', '/');
    for (const Entry& entry : m_vecEntries) {
        if (NamesEqual(entry.strRawName, strWanted, bIgnoreCase)) {
            nIndex = entry.item.nIndex;
            item = entry.item;
            return kArchive_Ok;
        }
    }
    return kArchive_NotFound;
}

void SkinArchive::CloseStream() {
    if (m_nCurrentEntry < 0) return;
    unzCloseCurrentFile(static_cast<unzFile>(m_hReader));
    m_nCurrentEntry = -1;
    m_nStreamDelivered = 0;
}

std::uint32_t SkinArchive::OpenStream(int nIndex) {
    CloseStream();
    auto hReader = static_cast<unzFile>(m_hReader);
    Entry& entry = m_vecEntries[static_cast<std::size_t>(nIndex)];
    if (unzGoToFilePos64(hReader, &entry.position) != UNZ_OK) return kArchive_ReadFailed;
    if (unzOpenCurrentFile(hReader) != UNZ_OK) return kArchive_InflateFailed;
    m_nCurrentEntry = nIndex;
    m_nStreamDelivered = 0;
    return kArchive_Ok;
}

// The reader checks the checksum only when the declared size was reached, so a stream that
// ends early is caught by counting.
std::uint32_t SkinArchive::FinishStream() {
    const Entry& entry = m_vecEntries[static_cast<std::size_t>(m_nCurrentEntry)];
    const bool bComplete = m_nStreamDelivered == entry.nUncompressedSize;
    const int nClose = unzCloseCurrentFile(static_cast<unzFile>(m_hReader));
    m_nCurrentEntry = -1;
    m_nStreamDelivered = 0;
    if (!bComplete) return kArchive_ShortData;
    if (nClose == UNZ_CRCERROR) return kArchive_BadChecksum;
    if (nClose != UNZ_OK) return kArchive_InflateFailed;
    return kArchive_Ok;
}

std::uint32_t SkinArchive::ExtractItem(int nIndex, void* pBuffer, std::uint32_t nLength, std::uint32_t& nDelivered) {
    nDelivered = 0;
    if (nIndex < 0 || nIndex >= GetItemCount() || (pBuffer == nullptr && nLength > 0)) return kArchive_BadArguments;
    if (nIndex != m_nCurrentEntry) {
        const std::uint32_t nOpen = OpenStream(nIndex);
        if (nOpen != kArchive_Ok) return nOpen;
    }
    auto hReader = static_cast<unzFile>(m_hReader);
    auto* pOut = static_cast<std::uint8_t*>(pBuffer);
    while (nDelivered < nLength) {
        const std::uint32_t nWant = std::min<std::uint32_t>(nLength - nDelivered, 1U << 30);
        const int nRead = unzReadCurrentFile(hReader, pOut + nDelivered, nWant);
        if (nRead < 0) {
            CloseStream();
            nDelivered = 0;
            return kArchive_InflateFailed;
        }
        if (nRead == 0) break;
        nDelivered += static_cast<std::uint32_t>(nRead);
        m_nStreamDelivered += static_cast<std::uint32_t>(nRead);
    }
    if (nDelivered > 0) return kArchive_MoreData;
    if (nLength == 0 && m_nStreamDelivered < m_vecEntries[static_cast<std::size_t>(nIndex)].nUncompressedSize) {
        return kArchive_MoreData;
    }
    return FinishStream();
}

std::uint32_t SkinArchive::ExtractItem(int nIndex, void* pBuffer, std::uint32_t nLength) {
    std::uint32_t nDelivered = 0;
    return ExtractItem(nIndex, pBuffer, nLength, nDelivered);
}

std::uint32_t SkinArchive::ReadItem(int nIndex, std::vector<std::uint8_t>& vecData, std::uint32_t nMaxBytes) {
    vecData.clear();
    if (nIndex < 0 || nIndex >= GetItemCount()) return kArchive_BadArguments;
    const std::uint64_t nSize = m_vecEntries[static_cast<std::size_t>(nIndex)].nUncompressedSize;
    if (nSize > nMaxBytes) return kArchive_TooLarge;
    const std::uint32_t nOpen = OpenStream(nIndex);
    if (nOpen != kArchive_Ok) return nOpen;
    vecData.resize(static_cast<std::size_t>(nSize));
    std::uint32_t nResult = kArchive_MoreData;
    std::uint64_t nFilled = 0;
    while (nResult == kArchive_MoreData) {
        std::uint8_t nProbe = 0;
        const bool bFull = nFilled == nSize;
        void* pTarget = bFull ? &nProbe : vecData.data() + nFilled;
        const auto nRoom = static_cast<std::uint32_t>(bFull ? 1 : nSize - nFilled);
        std::uint32_t nDelivered = 0;
        nResult = ExtractItem(nIndex, pTarget, nRoom, nDelivered);
        if (bFull && nDelivered > 0) nResult = kArchive_InflateFailed;
        nFilled += bFull ? 0 : nDelivered;
    }
    if (nResult != kArchive_Ok) {
        CloseStream();
        vecData.clear();
    }
    return nResult;
}
