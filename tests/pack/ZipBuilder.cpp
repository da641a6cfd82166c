#include "tests/pack/ZipBuilder.h"

#include <minizip/zip.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include "tests/support/Sandbox.h"

namespace testsupport {
namespace {

std::string RawDeflate(const std::string& strData) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string strOut(deflateBound(&stream, strData.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(strData.data()));
    stream.avail_in = static_cast<uInt>(strData.size());
    stream.next_out = reinterpret_cast<Bytef*>(strOut.data());
    stream.avail_out = static_cast<uInt>(strOut.size());
    deflate(&stream, Z_FINISH);
    strOut.resize(stream.total_out);
    deflateEnd(&stream);
    return strOut;
}

}  // namespace

std::string BuildZip(const std::vector<ZipEntrySpec>& vecEntries) {
    CTempDir dir;
    const std::string strPath = dir.File("built.zip");
    zipFile hZip = zipOpen64(strPath.c_str(), APPEND_STATUS_CREATE);
    if (hZip == nullptr) return {};
    for (const ZipEntrySpec& entry : vecEntries) {
        zip_fileinfo info{};
        info.tmz_date = {0, 0, 12, 1, 0, 2026};
        info.external_fa = entry.dwExternalAttributes;
        const int nMethod = entry.bDeflate ? Z_DEFLATED : 0;
        if (zipOpenNewFileInZip2(hZip, entry.strName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, nMethod,
                                 Z_BEST_COMPRESSION, 1) != ZIP_OK) {
            zipClose(hZip, nullptr);
            return {};
        }
        const std::string strStored = entry.bDeflate ? RawDeflate(entry.strData) : entry.strData;
        if (!strStored.empty()) zipWriteInFileInZip(hZip, strStored.data(), static_cast<unsigned>(strStored.size()));
        const auto nCrc = static_cast<uLong>(
            crc32(0, reinterpret_cast<const Bytef*>(entry.strData.data()), static_cast<uInt>(entry.strData.size())));
        zipCloseFileInZipRaw(hZip, entry.declaredSize.value_or(static_cast<std::uint32_t>(entry.strData.size())),
                             entry.declaredCrc.value_or(nCrc));
    }
    zipClose(hZip, nullptr);
    return ReadWholeFile(strPath);
}

std::size_t OffsetOf(const std::string& strHaystack, const std::string& strNeedle) {
    const std::size_t nPos = strHaystack.find(strNeedle);
    EXPECT_NE(nPos, std::string::npos) << strNeedle;
    return nPos == std::string::npos ? 0 : nPos;
}

}  // namespace testsupport
