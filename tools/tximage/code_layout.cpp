#include "code_layout.h"

#include <elf.h>

#include <bit>
#include <string_view>

#include "error.h"

namespace tximage {
namespace {

enum class Part { Code, ReadOnly, Data, Zero, Omitted };

bool inFamily(std::string_view name, std::string_view family) {
    return name == family ||
           (name.size() > family.size() && name.starts_with(family) && name[family.size()] == '.');
}

Part partOf(const ElfObject& object, uint32_t index) {
    const ElfObject::Section& s = object.sections()[index];
    if ((s.flags & SHF_ALLOC) == 0 || s.type == SHT_NOTE) return Part::Omitted;
    // Unwind tables: nothing in a running image reads them.
    if (s.name == ".eh_frame") return Part::Omitted;
    if ((s.flags & SHF_TLS) != 0) {
        throw Error("thread-local " + object.describeSection(index) + " is not supported");
    }
    if (s.type == SHT_PROGBITS || s.type == SHT_NOBITS) {
        if (inFamily(s.name, ".text")) return Part::Code;
        if (inFamily(s.name, ".rodata")) return Part::ReadOnly;
        if (inFamily(s.name, ".data")) return Part::Data;
        if (inFamily(s.name, ".bss")) return Part::Zero;
    }
    throw Error("unsupported loaded " + object.describeSection(index) + " (type " +
                std::to_string(s.type) +
                "); only .text, .rodata, .data and .bss sections can go into an image");
}

class BlockCursor {
public:
    explicit BlockCursor(uint32_t start) : end_(start) {}

    uint32_t place(uint64_t size, uint64_t alignment) {
        const uint64_t offset = (end_ + alignment - 1) / alignment * alignment;
        if (offset + size > kMaxCodeSize) {
            throw Error("code and data, zero-filled data (.bss) included, need at least " +
                        std::to_string(offset + size) + " bytes; a module image holds at most " +
                        std::to_string(tx::kMaxImageFileBytes >> 20) + " MiB");
        }
        end_ = offset + size;
        return static_cast<uint32_t>(offset);
    }

    uint32_t end() const { return static_cast<uint32_t>(end_); }

private:
    uint64_t end_;
};

}  // namespace

CodeLayout layOutCode(const ElfObject& object, uint32_t start) {
    const auto& sections = object.sections();
    const auto& symbols = object.symbols();
    CodeLayout layout;
    layout.sectionOffsets.resize(sections.size());
    layout.commonOffsets.resize(symbols.size());

    std::vector<Part> parts(sections.size(), Part::Omitted);
    for (uint32_t i = 1; i < sections.size(); ++i) parts[i] = partOf(object, i);

    BlockCursor cursor(start);
    for (Part part : {Part::Code, Part::ReadOnly, Part::Data, Part::Zero}) {
        for (uint32_t i = 1; i < sections.size(); ++i) {
            if (parts[i] != part) continue;
            layout.sectionOffsets[i] = cursor.place(sections[i].size, sections[i].alignment);
            layout.placedSections.push_back(i);
        }
    }
    for (uint32_t i = 1; i < symbols.size(); ++i) {
        const ElfObject::Symbol& sym = symbols[i];
        if (sym.sectionIndex != SHN_COMMON) continue;
        // For a COMMON symbol the value field holds its alignment.
        const uint32_t alignment = sym.value > 1 ? sym.value : 1;
        if (!std::has_single_bit(alignment)) {
            throw Error("malformed ELF file: COMMON symbol '" + sym.name + "' has alignment " +
                        std::to_string(sym.value));
        }
        layout.commonOffsets[i] = cursor.place(sym.size, alignment);
    }
    layout.size = cursor.end();
    return layout;
}

}  // namespace tximage
