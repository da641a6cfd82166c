#pragma once
// Read access to the zip archives that hold the skin and the product pack: open from a file
// or from bytes in memory, walk the directory, find an entry by name, inflate its data.
// Not thread-safe; an archive is used from one thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Result codes. 0 is success; callers treat kArchive_MoreData from a partial read as success.
enum ArchiveResult : std::uint32_t {
    kArchive_Ok = 0,
    kArchive_CannotOpen = 0x200,
    kArchive_NotFound = 0x500,
    kArchive_MoreData = 0x600,
    kArchive_TooLarge = 0x800,
    kArchive_ReadFailed = 0x900,
    kArchive_BadArguments = 0x10000,
    kArchive_InflateFailed = 0x5000000,
    kArchive_BadChecksum = 0x5000001,
    kArchive_ShortData = 0x5000002,
};

constexpr std::uint32_t kArchiveAttribute_ReadOnly = 0x01;
constexpr std::uint32_t kArchiveAttribute_Hidden = 0x02;
constexpr std::uint32_t kArchiveAttribute_System = 0x04;
constexpr std::uint32_t kArchiveAttribute_Directory = 0x10;
constexpr std::uint32_t kArchiveAttribute_Archive = 0x20;
constexpr std::uint32_t kArchiveAttribute_Normal = 0x80;

// Longest name FindItem accepts, in characters.
constexpr std::size_t kArchiveMaxLookupName = 255;

// Times are FILETIME values: 100-nanosecond intervals since 1601-01-01 UTC.
struct ArchiveItem {
    std::int32_t nIndex = -1;
    std::wstring strName;
    std::uint32_t dwAttributes = 0;
    std::uint64_t ftAccessTime = 0;
    std::uint64_t ftCreationTime = 0;
    std::uint64_t ftModificationTime = 0;
    std::uint32_t dwCompressedSize = 0;
    std::uint32_t dwUncompressedSize = 0;

    bool IsFolder() const { return (dwAttributes & kArchiveAttribute_Directory) != 0; }
};

class SkinArchive {
public:
    // Null when the file cannot be opened or is not a zip archive.
    static SkinArchive* OpenFromFile(const std::wstring& strPath);
    // Reads straight from pBytes, which must stay valid until Close. Null when not a zip.
    static SkinArchive* OpenFromMemory(const void* pBytes, std::size_t nLength);
    // Frees the archive; kArchive_BadArguments for null.
    static std::uint32_t Close(SkinArchive* pArchive);

    ~SkinArchive();
    SkinArchive(const SkinArchive&) = delete;
    SkinArchive& operator=(const SkinArchive&) = delete;

    int GetItemCount() const;

    // nIndex -1: item.nIndex receives the number of entries, the rest is cleared.
    std::uint32_t GetItem(int nIndex, ArchiveItem& item) const;

    // "\" in strName matches "/" in the archive. bIgnoreCase folds ASCII letters only.
    // Not found: nIndex = -1, item cleared, kArchive_NotFound.
    std::uint32_t FindItem(const std::wstring& strName, bool bIgnoreCase, int& nIndex, ArchiveItem& item) const;

    // Streams the entry's data: kArchive_MoreData while bytes were delivered (the next call
    // continues), kArchive_Ok at the end once size and checksum are confirmed, a failure code
    // otherwise. nDelivered receives the bytes written into pBuffer by this call.
    std::uint32_t ExtractItem(int nIndex, void* pBuffer, std::uint32_t nLength, std::uint32_t& nDelivered);
    std::uint32_t ExtractItem(int nIndex, void* pBuffer, std::uint32_t nLength);

    // Reads the whole entry from its beginning, checks its size and checksum. Entries larger
    // than nMaxBytes answer kArchive_TooLarge before anything is allocated.
    std::uint32_t ReadItem(int nIndex, std::vector<std::uint8_t>& vecData, std::uint32_t nMaxBytes);

    // Folder from which relative extraction targets would be resolved (current folder at opening).
    const std::wstring& GetRootFolder() const { return m_strRootFolder; }

private:
    struct Source;
    struct Entry;

    SkinArchive();
    static SkinArchive* Open(std::unique_ptr<Source> pSource);
    bool ReadDirectory();
    void CloseStream();
    std::uint32_t OpenStream(int nIndex);
    std::uint32_t FinishStream();

    std::unique_ptr<Source> m_pSource;
    void* m_hReader = nullptr;
    std::vector<Entry> m_vecEntries;
    int m_nCurrentEntry = -1;
    std::uint64_t m_nStreamDelivered = 0;
    std::wstring m_strRootFolder;
};

struct SkinArchiveCloser {
    void operator()(SkinArchive* pArchive) const { SkinArchive::Close(pArchive); }
};
using SkinArchivePtr = std::unique_ptr<SkinArchive, SkinArchiveCloser>;
