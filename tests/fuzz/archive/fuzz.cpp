// Feeds arbitrary bytes to the archive reader as a memory archive: every entry is described,
// looked up by its own name with and without folding, streamed in small pieces and read whole.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/controls/SkinArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    SkinArchivePtr pArchive(SkinArchive::OpenFromMemory(pData, nSize));
    if (!pArchive) return 0;
    ArchiveItem count;
    pArchive->GetItem(-1, count);
    for (int nIndex = 0; nIndex < count.nIndex && nIndex < 64; ++nIndex) {
        ArchiveItem item;
        if (pArchive->GetItem(nIndex, item) != kArchive_Ok) continue;
        int nFound = -1;
        ArchiveItem found;
        pArchive->FindItem(item.strName, true, nFound, found);
        pArchive->FindItem(item.strName, false, nFound, found);
        char acPiece[97];
        std::uint32_t nResult = kArchive_MoreData;
        for (int nStep = 0; nStep < 64 && nResult == kArchive_MoreData; ++nStep) {
            nResult = pArchive->ExtractItem(nIndex, acPiece, sizeof(acPiece));
        }
        std::vector<std::uint8_t> vecData;
        pArchive->ReadItem(nIndex, vecData, 1 << 20);
    }
    return 0;
}
