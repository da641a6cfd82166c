// Builds a zip archive from a manifest, one entry per line: "name<TAB>source file", or a name
// ending in "/" alone for a folder entry. Entries keep the manifest's order and a fixed time,
// so the same sources always give the same archive. Images are stored, other files deflated.
#include <minizip/zip.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr unsigned long kFolderAttributes = 0x10 | (040755UL << 16);
constexpr unsigned long kFileAttributes = 0x20 | (0100644UL << 16);

struct ManifestLine {
    std::string strEntry;
    std::string strSource;
};

bool ReadManifest(const char* szPath, std::vector<ManifestLine>& vecLines) {
    std::ifstream input(szPath);
    if (!input) return false;
    std::string strLine;
    while (std::getline(input, strLine)) {
        if (strLine.empty()) continue;
        const std::size_t nTab = strLine.find('\t');
        ManifestLine line;
        line.strEntry = strLine.substr(0, nTab);
        if (nTab != std::string::npos) line.strSource = strLine.substr(nTab + 1);
        vecLines.push_back(line);
    }
    return true;
}

bool ReadFile(const std::string& strPath, std::string& strData) {
    std::ifstream input(strPath, std::ios::binary);
    if (!input) return false;
    strData.assign(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
    return true;
}

bool EndsWith(const std::string& strText, const std::string& strTail) {
    return strText.size() >= strTail.size() &&
           strText.compare(strText.size() - strTail.size(), strTail.size(), strTail) == 0;
}

bool AddEntry(zipFile hZip, const ManifestLine& line) {
    const bool bFolder = EndsWith(line.strEntry, "/");
    std::string strData;
    if (!bFolder && !ReadFile(line.strSource, strData)) {
        std::cerr << "packzip: cannot read " << line.strSource << "\n";
        return false;
    }
    zip_fileinfo info{};
    info.tmz_date.tm_year = 2026;
    info.tmz_date.tm_mon = 0;
    info.tmz_date.tm_mday = 1;
    info.external_fa = bFolder ? kFolderAttributes : kFileAttributes;
    const bool bStore = bFolder || EndsWith(line.strEntry, ".png");
    const int nOpen = zipOpenNewFileInZip4(hZip, line.strEntry.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                           bStore ? 0 : Z_DEFLATED, Z_BEST_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                           Z_DEFAULT_STRATEGY, nullptr, 0, 3 << 8, 0);
    if (nOpen != ZIP_OK) return false;
    if (!strData.empty() &&
        zipWriteInFileInZip(hZip, strData.data(), static_cast<unsigned>(strData.size())) != ZIP_OK) {
        return false;
    }
    return zipCloseFileInZip(hZip) == ZIP_OK;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: norvane-packzip OUT.zip MANIFEST\n";
        return 2;
    }
    std::vector<ManifestLine> vecLines;
    if (!ReadManifest(argv[2], vecLines)) {
        std::cerr << "packzip: cannot read manifest " << argv[2] << "\n";
        return 1;
    }
    const std::string strTemp = std::string(argv[1]) + ".part";
    zipFile hZip = zipOpen64(strTemp.c_str(), APPEND_STATUS_CREATE);
    if (hZip == nullptr) return 1;
    bool bOk = true;
    for (const ManifestLine& line : vecLines) {
        if (!AddEntry(hZip, line)) {
            bOk = false;
            break;
        }
    }
    if (zipClose(hZip, nullptr) != ZIP_OK) bOk = false;
    if (!bOk || std::rename(strTemp.c_str(), argv[1]) != 0) {
        std::remove(strTemp.c_str());
        return 1;
    }
    return 0;
}
