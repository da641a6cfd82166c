#include "platform/VersionRecord.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace platform {
namespace {

template <typename T>
bool ReadAt(std::ifstream& in, std::uint64_t offset, T& value) {
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(&value), sizeof(T));
    return static_cast<bool>(in);
}

bool FindSection(std::ifstream& in, const Elf64_Ehdr& header, const char* name, Elf64_Shdr& found) {
    if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum) return false;
    Elf64_Shdr names{};
    if (!ReadAt(in, header.e_shoff + std::uint64_t{header.e_shstrndx} * sizeof(Elf64_Shdr), names)) return false;
    const std::size_t nameLength = std::strlen(name) + 1;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        Elf64_Shdr section{};
        if (!ReadAt(in, header.e_shoff + std::uint64_t{i} * sizeof(Elf64_Shdr), section)) return false;
        if (section.sh_name >= names.sh_size) continue;
        std::vector<char> candidate(nameLength, '\0');
        in.seekg(static_cast<std::streamoff>(names.sh_offset + section.sh_name));
        in.read(candidate.data(), static_cast<std::streamsize>(nameLength));
        if (in && std::memcmp(candidate.data(), name, nameLength) == 0) {
            found = section;
            return true;
        }
        in.clear();
    }
    return false;
}

}  // namespace

bool ReadVersionRecord(const std::string& path, VersionRecord& record) {
    std::ifstream in(path, std::ios::binary);
    Elf64_Ehdr header{};
    if (!in || !ReadAt(in, 0, header)) return false;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) return false;
    Elf64_Shdr section{};
    if (!FindSection(in, header, kVersionRecordSection, section)) return false;
    if (section.sh_size < sizeof(VersionRecord) || section.sh_type == SHT_NOBITS) return false;
    VersionRecord candidate{};
    if (!ReadAt(in, section.sh_offset, candidate)) return false;
    if (std::memcmp(candidate.szMagic, kVersionRecordMagic, sizeof(candidate.szMagic)) != 0) return false;
    record = candidate;
    return true;
}

}  // namespace platform
