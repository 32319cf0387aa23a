// A validated view of one ELF32 i386 relocatable object: sections, symbols and REL relocations.
// Every offset and size in the file is checked before use; a malformed file raises Error.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tximage {

class ElfObject {
public:
    struct Section {
        std::string name;
        uint32_t type = 0;
        uint32_t flags = 0;
        uint32_t size = 0;
        uint32_t alignment = 1;  // a power of two, at least 1
        uint32_t link = 0;
        uint32_t info = 0;
        uint32_t entrySize = 0;
        std::span<const uint8_t> contents;  // empty for sections without file contents
    };

    struct Symbol {
        std::string name;
        uint32_t value = 0;
        uint32_t size = 0;
        uint8_t binding = 0;
        uint8_t type = 0;
        uint16_t sectionIndex = 0;  // may be one of the reserved SHN_ values
    };

    struct Relocation {
        uint32_t offset = 0;  // of the patched word, within the target section
        uint32_t type = 0;
        uint32_t symbolIndex = 0;
    };

    struct RelocationSection {
        uint32_t index = 0;            // of the relocation section itself
        uint32_t targetIndex = 0;      // of the section it patches
        bool explicitAddends = false;  // SHT_RELA: entries carry their addend
        std::vector<Relocation> entries;
    };

    // Parses and validates the whole file. Throws Error on anything malformed.
    explicit ElfObject(std::span<const uint8_t> file);

    const std::vector<Section>& sections() const { return sections_; }
    const std::vector<Symbol>& symbols() const { return symbols_; }
    const std::vector<RelocationSection>& relocationSections() const { return relocations_; }

    // "section 'name'" or "section #N" when it has no name; for messages.
    std::string describeSection(uint32_t index) const;

private:
    void readHeader();
    void readSections(uint32_t offset, uint32_t count, uint32_t nameTable);
    void readSymbols();
    void readRelocations();

    std::span<const uint8_t> file_;
    std::vector<Section> sections_;
    std::vector<Symbol> symbols_;
    std::vector<RelocationSection> relocations_;
    uint32_t symbolTableIndex_ = 0;
};

}  // namespace tximage
