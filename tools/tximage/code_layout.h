// Places the object's code and data sections, and its COMMON symbols, in one code block.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "elf_object.h"
#include "image_file.h"

namespace tximage {

// The largest code block tximage produces: one that fits an image of the size limit with empty
// record tables (a size word and three counts). The image stores zero-filled data as bytes too.
inline constexpr uint32_t kMaxCodeSize = static_cast<uint32_t>(tx::kMaxImageFileBytes - 16);

struct CodeLayout {
    // Offset in the block of each section, by section index; empty for sections left out.
    std::vector<std::optional<uint32_t>> sectionOffsets;
    // Sections in the block, in block order.
    std::vector<uint32_t> placedSections;
    // Offset in the block of each COMMON symbol, by symbol index; empty for all others.
    std::vector<std::optional<uint32_t>> commonOffsets;
    uint32_t size = 0;
};

// Lays out, starting at `start`: code (.text*), read-only data (.rodata*), data (.data*), then
// zero-filled data (.bss* and COMMON symbols), each part in file order, every section at its
// own alignment. Unwind tables, notes and sections that are not loaded are left out; any other
// loaded section is an Error.
CodeLayout layOutCode(const ElfObject& object, uint32_t start);

}  // namespace tximage
