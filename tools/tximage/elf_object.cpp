#include "elf_object.h"

#include <elf.h>

#include <bit>
#include <cstring>
#include <type_traits>

#include "error.h"

namespace tximage {

static_assert(std::endian::native == std::endian::little,
              "the ELF structures are read in host byte order");

namespace {

// Copies a fixed-size structure out of the file after checking that it lies entirely inside.
template <typename T>
T readAt(std::span<const uint8_t> file, uint64_t offset, const char* what) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (offset > file.size() || file.size() - offset < sizeof(T)) {
        throw Error(std::string("truncated ELF file: ") + what + " lies outside the file");
    }
    T value;
    std::memcpy(&value, file.data() + offset, sizeof(T));
    return value;
}

// A 0-terminated name at `offset` inside a string table.
std::string nameAt(std::span<const uint8_t> table, uint32_t offset, const char* what) {
    if (offset >= table.size()) {
        throw Error(std::string("malformed ELF file: ") + what + " name offset " +
                    std::to_string(offset) + " lies outside its string table");
    }
    const auto* begin = reinterpret_cast<const char*>(table.data()) + offset;
    const auto* end = static_cast<const char*>(std::memchr(begin, 0, table.size() - offset));
    if (end == nullptr) {
        throw Error(std::string("malformed ELF file: ") + what + " name is not terminated");
    }
    return std::string(begin, end);
}

bool hasFileContents(uint32_t type) {
    return type != SHT_NOBITS && type != SHT_NULL;
}

}  // namespace

ElfObject::ElfObject(std::span<const uint8_t> file) : file_(file) {
    readHeader();
    readSymbols();
    readRelocations();
}

std::string ElfObject::describeSection(uint32_t index) const {
    if (index < sections_.size() && !sections_[index].name.empty()) {
        return "section '" + sections_[index].name + "'";
    }
    return "section #" + std::to_string(index);
}

void ElfObject::readHeader() {
    if (file_.size() < SELFMAG || std::memcmp(file_.data(), ELFMAG, SELFMAG) != 0) {
        throw Error("not an ELF file");
    }
    if (file_.size() <= EI_CLASS) throw Error("truncated ELF file: header is incomplete");
    if (file_[EI_CLASS] == ELFCLASS64) {
        throw Error("64-bit ELF object; expected a 32-bit i386 object (compile with -m32)");
    }
    if (file_[EI_CLASS] != ELFCLASS32) throw Error("not an ELF32 file (unknown ELF class)");
    const auto header = readAt<Elf32_Ehdr>(file_, 0, "ELF header");
    if (header.e_ident[EI_DATA] != ELFDATA2LSB) throw Error("ELF file is not little-endian");
    if (header.e_ident[EI_VERSION] != EV_CURRENT) throw Error("unknown ELF version");
    if (header.e_type != ET_REL) {
        throw Error("not a relocatable object (ELF type " + std::to_string(header.e_type) +
                    "); expected the output of gcc -c, as or ld -r");
    }
    if (header.e_machine != EM_386) {
        throw Error("not an i386 object (ELF machine " + std::to_string(header.e_machine) + ")");
    }
    if (header.e_shnum == 0) {
        if (header.e_shoff != 0) throw Error("extended section numbering is not supported");
        return;  // no sections at all
    }
    if (header.e_shentsize != sizeof(Elf32_Shdr)) {
        throw Error("malformed ELF file: section header size " +
                    std::to_string(header.e_shentsize));
    }
    if (header.e_shstrndx == SHN_XINDEX) {
        throw Error("extended section numbering is not supported");
    }
    if (header.e_shstrndx != SHN_UNDEF && header.e_shstrndx >= header.e_shnum) {
        throw Error("malformed ELF file: section name table index out of range");
    }
    readSections(header.e_shoff, header.e_shnum, header.e_shstrndx);
}

void ElfObject::readSections(uint32_t offset, uint32_t count, uint32_t nameTable) {
    std::vector<Elf32_Shdr> headers;
    headers.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        headers.push_back(readAt<Elf32_Shdr>(
            file_, uint64_t{offset} + uint64_t{i} * sizeof(Elf32_Shdr), "section header table"));
    }
    sections_.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const Elf32_Shdr& h = headers[i];
        Section& s = sections_[i];
        s.type = h.sh_type;
        s.flags = h.sh_flags;
        s.size = h.sh_size;
        s.link = h.sh_link;
        s.info = h.sh_info;
        s.entrySize = h.sh_entsize;
        if (h.sh_addralign > 1) {
            if (!std::has_single_bit(h.sh_addralign)) {
                throw Error("malformed ELF file: " + describeSection(i) + " has alignment " +
                            std::to_string(h.sh_addralign) + ", not a power of two");
            }
            s.alignment = h.sh_addralign;
        }
        if (hasFileContents(h.sh_type) && h.sh_size > 0) {
            if (h.sh_offset > file_.size() || file_.size() - h.sh_offset < h.sh_size) {
                throw Error("truncated ELF file: contents of " + describeSection(i) +
                            " lie outside the file");
            }
            s.contents = file_.subspan(h.sh_offset, h.sh_size);
        }
    }
    if (nameTable == SHN_UNDEF) return;
    if (sections_[nameTable].type != SHT_STRTAB) {
        throw Error("malformed ELF file: section name table is not a string table");
    }
    const auto names = sections_[nameTable].contents;
    for (uint32_t i = 1; i < count; ++i) {
        sections_[i].name = nameAt(names, headers[i].sh_name, "section");
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (headers[i].sh_type == SHT_SYMTAB) {
            if (symbolTableIndex_ != 0) throw Error("object has more than one symbol table");
            symbolTableIndex_ = i;
        }
    }
}

void ElfObject::readSymbols() {
    if (symbolTableIndex_ == 0) return;
    const Section& table = sections_[symbolTableIndex_];
    if (table.entrySize != sizeof(Elf32_Sym) || table.size % sizeof(Elf32_Sym) != 0) {
        throw Error("malformed ELF file: symbol table entry size");
    }
    if (table.link == 0 || table.link >= sections_.size() ||
        sections_[table.link].type != SHT_STRTAB) {
        throw Error("malformed ELF file: symbol table has no string table");
    }
    const auto names = sections_[table.link].contents;
    const size_t count = table.size / sizeof(Elf32_Sym);
    symbols_.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const auto raw = readAt<Elf32_Sym>(table.contents, i * sizeof(Elf32_Sym), "symbol");
        Symbol& s = symbols_[i];
        s.name = i == 0 ? std::string() : nameAt(names, raw.st_name, "symbol");
        s.value = raw.st_value;
        s.size = raw.st_size;
        s.binding = ELF32_ST_BIND(raw.st_info);
        s.type = ELF32_ST_TYPE(raw.st_info);
        s.sectionIndex = raw.st_shndx;
        if (s.sectionIndex == SHN_XINDEX) {
            throw Error("symbol '" + s.name + "' uses an extended section index (not supported)");
        }
        if (s.sectionIndex < SHN_LORESERVE && s.sectionIndex >= sections_.size()) {
            throw Error("malformed ELF file: symbol '" + s.name + "' names section #" +
                        std::to_string(s.sectionIndex) + ", which does not exist");
        }
    }
}

void ElfObject::readRelocations() {
    for (uint32_t i = 0; i < sections_.size(); ++i) {
        const Section& section = sections_[i];
        if (section.type != SHT_REL && section.type != SHT_RELA) continue;
        const bool rela = section.type == SHT_RELA;
        const uint32_t entrySize = rela ? sizeof(Elf32_Rela) : sizeof(Elf32_Rel);
        if (section.entrySize != entrySize || section.size % entrySize != 0) {
            throw Error("malformed ELF file: entry size of " + describeSection(i));
        }
        if (section.info == 0 || section.info >= sections_.size()) {
            throw Error("malformed ELF file: " + describeSection(i) +
                        " patches a section that does not exist");
        }
        if (section.link != symbolTableIndex_ || symbolTableIndex_ == 0) {
            throw Error("malformed ELF file: " + describeSection(i) +
                        " does not use the object's symbol table");
        }
        RelocationSection result;
        result.index = i;
        result.targetIndex = section.info;
        result.explicitAddends = rela;
        const size_t count = section.size / entrySize;
        result.entries.reserve(count);
        for (size_t k = 0; k < count; ++k) {
            // Elf32_Rela starts with the same two fields as Elf32_Rel.
            const auto raw = readAt<Elf32_Rel>(section.contents, k * entrySize, "relocation");
            Relocation r;
            r.offset = raw.r_offset;
            r.type = ELF32_R_TYPE(raw.r_info);
            r.symbolIndex = ELF32_R_SYM(raw.r_info);
            if (r.symbolIndex >= symbols_.size()) {
                throw Error("malformed ELF file: relocation in " + describeSection(i) +
                            " names symbol #" + std::to_string(r.symbolIndex) +
                            ", which does not exist");
            }
            result.entries.push_back(r);
        }
        relocations_.push_back(std::move(result));
    }
}

}  // namespace tximage
