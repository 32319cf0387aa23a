#include "module_image_builder.h"

#include <elf.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "code_layout.h"
#include "elf_object.h"
#include "error.h"
#include "i386_relocation.h"
#include "module_image_writer.h"

namespace tximage {
namespace {

constexpr uint32_t kEntryStubSize = 5;  // jmp rel32
constexpr uint8_t kJmpRel32 = 0xE9;

struct Record {
    std::string name;
    uint32_t offset;
};

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

// Why a relocation type turns up, when that is known.
std::string hintFor(uint32_t relocationType) {
    const std::string name = relocationTypeName(relocationType);
    if (name.find("TLS") != std::string::npos) return " (thread-local storage is not supported)";
    if (name.find("GOT") != std::string::npos) return " (compile with -fno-pic)";
    return "";
}

class ImageBuilder {
public:
    explicit ImageBuilder(const ElfObject& object)
        : object_(object), layout_(layOutCode(object, kEntryStubSize)) {}

    std::vector<uint8_t> build() {
        copySections();
        collectDefinitions();
        writeEntryStub();
        collectFixups();
        return write();
    }

private:
    using Symbol = ElfObject::Symbol;

    static bool isGlobal(const Symbol& s) {
        return s.binding == STB_GLOBAL || s.binding == STB_WEAK || s.binding == STB_GNU_UNIQUE;
    }

    std::string describeSymbol(uint32_t index) const {
        const Symbol& s = object_.symbols()[index];
        if (s.type == STT_SECTION && s.sectionIndex < SHN_LORESERVE) {
            return object_.describeSection(s.sectionIndex);
        }
        return "symbol '" + s.name + "'";
    }

    // Where a defined symbol lies in the code block.
    uint32_t blockOffset(uint32_t index) const {
        const Symbol& s = object_.symbols()[index];
        switch (s.sectionIndex) {
            case SHN_UNDEF:
                throw Error(describeSymbol(index) + " is not defined");
            case SHN_ABS:
                throw Error("absolute " + describeSymbol(index) +
                            " cannot be expressed in a module image");
            case SHN_COMMON:
                return *layout_.commonOffsets[index];
            default:
                break;
        }
        if (s.sectionIndex >= SHN_LORESERVE) {
            throw Error(describeSymbol(index) + " has unsupported section index " +
                        hex(s.sectionIndex));
        }
        const auto& sectionOffset = layout_.sectionOffsets[s.sectionIndex];
        if (!sectionOffset) {
            if (s.type == STT_SECTION) {
                throw Error(describeSymbol(index) + " is not part of the image");
            }
            throw Error(describeSymbol(index) + " is defined in " +
                        object_.describeSection(s.sectionIndex) +
                        ", which is not part of the image");
        }
        if (s.value > object_.sections()[s.sectionIndex].size) {
            throw Error("malformed ELF file: " + describeSymbol(index) + " lies outside " +
                        object_.describeSection(s.sectionIndex));
        }
        return *sectionOffset + s.value;
    }

    void copySections() {
        code_.assign(layout_.size, 0);
        for (uint32_t index : layout_.placedSections) {
            const auto& contents = object_.sections()[index].contents;
            std::copy(contents.begin(), contents.end(),
                      code_.begin() + *layout_.sectionOffsets[index]);
        }
    }

    // Every global definition becomes a symbol record; all global names are kept away from
    // the internal labels.
    void collectDefinitions() {
        const auto& symbols = object_.symbols();
        for (uint32_t i = 1; i < symbols.size(); ++i) {
            const Symbol& s = symbols[i];
            if (s.binding == STB_LOCAL) continue;
            if (!isGlobal(s)) {
                throw Error("symbol '" + s.name + "' has unsupported binding " +
                            std::to_string(s.binding));
            }
            if (s.name.empty()) throw Error("malformed ELF file: global symbol without a name");
            reservedNames_.insert(s.name);
            if (s.sectionIndex == SHN_UNDEF) continue;
            const uint32_t offset = blockOffset(i);
            if (s.name == kEntrySymbol) {
                // The record names the jump at offset 0, not the function body.
                entryOffset_ = offset;
                symbols_.push_back({s.name, 0});
            } else {
                symbols_.push_back({s.name, offset});
            }
        }
        if (!entryOffset_) {
            const bool local = std::any_of(symbols.begin(), symbols.end(), [](const Symbol& s) {
                return s.binding == STB_LOCAL && s.name == kEntrySymbol;
            });
            throw Error(local ? "__MAIN is defined but not global (is it static?)"
                              : "the object defines no global __MAIN entry point");
        }
    }

    void writeEntryStub() {
        const uint32_t displacement = *entryOffset_ - kEntryStubSize;
        code_[0] = kJmpRel32;
        for (int i = 0; i < 4; ++i) code_[1 + i] = static_cast<uint8_t>(displacement >> (8 * i));
    }

    // The internal label for a place in the block, made on first use.
    const std::string& labelAt(uint32_t offset) {
        auto found = labels_.find(offset);
        if (found != labels_.end()) return found->second;
        std::string name;
        do {
            name = "_" + std::to_string(nextLabel_++);
        } while (reservedNames_.count(name) != 0);
        symbols_.push_back({name, offset});
        return labels_.emplace(offset, std::move(name)).first->second;
    }

    std::string targetName(uint32_t symbolIndex, const std::string& where) {
        if (symbolIndex == 0) throw Error(where + " has no target symbol");
        const Symbol& s = object_.symbols()[symbolIndex];
        if (isGlobal(s)) return s.name;
        if (s.sectionIndex == SHN_UNDEF) {
            throw Error(where + " refers to undefined local " + describeSymbol(symbolIndex));
        }
        try {
            return labelAt(blockOffset(symbolIndex));
        } catch (const Error& e) {
            throw Error(where + ": " + e.what());
        }
    }

    void collectFixups() {
        std::multimap<uint32_t, const ElfObject::RelocationSection*> byTarget;
        for (const auto& r : object_.relocationSections()) byTarget.emplace(r.targetIndex, &r);
        for (uint32_t sectionIndex : layout_.placedSections) {
            auto [first, last] = byTarget.equal_range(sectionIndex);
            for (auto it = first; it != last; ++it) collectFixups(sectionIndex, *it->second);
        }
    }

    void collectFixups(uint32_t sectionIndex, const ElfObject::RelocationSection& relocations) {
        const ElfObject::Section& section = object_.sections()[sectionIndex];
        const std::string sectionName = object_.describeSection(sectionIndex);
        if (relocations.explicitAddends) {
            throw Error("relocations with explicit addends (" +
                        object_.describeSection(relocations.index) + ") are not supported");
        }
        for (const ElfObject::Relocation& r : relocations.entries) {
            const FixupKind kind = fixupKindOf(r.type);
            if (kind == FixupKind::None) continue;
            const std::string where =
                relocationTypeName(r.type) + " at offset " + hex(r.offset) + " in " + sectionName;
            if (kind == FixupKind::Unsupported) {
                const std::string target =
                    r.symbolIndex == 0 ? std::string("no symbol") : describeSymbol(r.symbolIndex);
                throw Error("unsupported relocation " + where + " against " + target +
                            hintFor(r.type));
            }
            if (section.type == SHT_NOBITS) {
                throw Error(where + " patches a section without contents");
            }
            if (section.size < 4 || r.offset > section.size - 4) {
                throw Error(where + " patches a word outside the section (size " +
                            std::to_string(section.size) + ")");
            }
            Record fixup{targetName(r.symbolIndex, where),
                         *layout_.sectionOffsets[sectionIndex] + r.offset};
            (kind == FixupKind::Relative ? relative_ : absolute_).push_back(std::move(fixup));
        }
    }

    std::vector<uint8_t> write() {
        // A symbol may mark the very end of its section; the block must still contain it.
        for (const Record& s : symbols_) {
            if (s.offset >= code_.size()) code_.resize(uint64_t{s.offset} + 1, 0);
        }
        ModuleImageWriter writer(std::move(code_));
        for (const Record& s : symbols_) writer.addSymbol(s.name, s.offset);
        for (const Record& f : relative_) writer.addRelativeFixup(f.name, f.offset);
        for (const Record& f : absolute_) writer.addAbsoluteFixup(f.name, f.offset);
        return writer.finish();
    }

    const ElfObject& object_;
    CodeLayout layout_;
    std::vector<uint8_t> code_;
    std::optional<uint32_t> entryOffset_;
    std::set<std::string> reservedNames_;
    std::map<uint32_t, std::string> labels_;
    uint32_t nextLabel_ = 1;
    std::vector<Record> symbols_;
    std::vector<Record> relative_;
    std::vector<Record> absolute_;
};

}  // namespace

std::vector<uint8_t> buildModuleImage(std::span<const uint8_t> elf) {
    const ElfObject object(elf);
    return ImageBuilder(object).build();
}

}  // namespace tximage
