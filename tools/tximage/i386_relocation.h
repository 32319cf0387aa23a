// How an i386 relocation type maps onto module-image fixups.
#pragma once

#include <cstdint>
#include <string>

namespace tximage {

enum class FixupKind {
    None,         // nothing to patch (R_386_NONE)
    Relative,     // word += target - place
    Absolute,     // word += target
    Unsupported,  // cannot be expressed in a module image
};

FixupKind fixupKindOf(uint32_t relocationType);

// "R_386_GOTPC", or "relocation type N" for a number with no known name.
std::string relocationTypeName(uint32_t relocationType);

}  // namespace tximage
