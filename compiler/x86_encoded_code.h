// Finished machine code: the bytes, the symbols it defines, the fixups it needs, and a listing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "module_image.h"

namespace txc::x86 {

struct CodeSymbol {
    std::string name;
    uint32_t offset;
    bool operator==(const CodeSymbol&) const = default;
};

// A 32-bit word at `offset` that the linker patches with the address of `symbol` (absolute) or
// its distance from the word (relative). The word holds the addend: for a relative fixup -4,
// which makes the patched word a displacement from the end of the instruction.
struct CodeFixup {
    std::string symbol;
    uint32_t offset;
    bool operator==(const CodeFixup&) const = default;
};

struct ListingLine {
    uint32_t address;
    uint32_t size;     // bytes of code; 0 for a label line
    std::string text;  // Intel syntax, or "name:" for a label
};

struct EncodedCode {
    std::vector<uint8_t> code;
    std::vector<CodeSymbol> symbols;  // named labels, in the order they were created
    std::vector<CodeFixup> relativeFixups;
    std::vector<CodeFixup> absoluteFixups;
    std::vector<uint32_t> labelOffsets;  // by label id; UINT32_MAX for a label never bound
    std::vector<ListingLine> listing;

    // The code as a module image, its symbols sorted by name (and a zero byte added when a
    // symbol marks the end of the code).
    tx::ModuleImage moduleImage() const;
    // One line per instruction: address, bytes in hex, Intel text; label lines in between.
    std::string listingText() const;
};

}  // namespace txc::x86
