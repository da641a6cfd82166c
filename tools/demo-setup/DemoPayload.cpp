#include "tools/demo-setup/DemoPayload.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace demosetup {
namespace {

const char kMagic[8] = {'N', 'V', 'D', 'E', 'M', 'O', 'P', '1'};
constexpr std::size_t kTrailerBytes = 16;

}  // namespace

bool ReadFile(const std::string& strPath, std::string& strContent) {
    std::ifstream in(strPath, std::ios::binary);
    if (!in) return false;
    std::ostringstream out;
    out << in.rdbuf();
    strContent = out.str();
    return true;
}

bool WriteFileAtomically(const std::string& strPath, const std::string& strContent, unsigned int nMode) {
    std::string strTemp = strPath + ".part";
    {
        std::ofstream out(strTemp, std::ios::binary | std::ios::trunc);
        out.write(strContent.data(), static_cast<std::streamsize>(strContent.size()));
        if (!out) return false;
    }
    chmod(strTemp.c_str(), nMode);
    return std::rename(strTemp.c_str(), strPath.c_str()) == 0;
}

bool PackPayload(const std::string& strSetupPath, const std::string& strProductPath, const std::string& strOutputPath) {
    std::string strSetup;
    std::string strProduct;
    if (!ReadFile(strSetupPath, strSetup) || !ReadFile(strProductPath, strProduct)) return false;
    std::string strTrailer(kMagic, sizeof(kMagic));
    std::uint64_t nSize = strProduct.size();
    for (int i = 0; i < 8; ++i) strTrailer += static_cast<char>((nSize >> (8 * i)) & 0xFF);
    return WriteFileAtomically(strOutputPath, strSetup + strProduct + strTrailer, 0755);
}

bool ReadPayload(const std::string& strPath, std::string& strProduct) {
    std::string strSelf;
    if (!ReadFile(strPath, strSelf) || strSelf.size() < kTrailerBytes) return false;
    const char* pTrailer = strSelf.data() + strSelf.size() - kTrailerBytes;
    if (std::memcmp(pTrailer, kMagic, sizeof(kMagic)) != 0) return false;
    std::uint64_t nSize = 0;
    for (int i = 0; i < 8; ++i) nSize |= static_cast<std::uint64_t>(static_cast<unsigned char>(pTrailer[8 + i])) << (8 * i);
    if (nSize > strSelf.size() - kTrailerBytes) return false;
    strProduct = strSelf.substr(strSelf.size() - kTrailerBytes - nSize, nSize);
    return true;
}

}  // namespace demosetup
