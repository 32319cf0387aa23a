// Turns one ELF32 i386 relocatable object into a module image.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tximage {

// The symbol that must sit at offset 0 of the code block: the program's entry point.
inline constexpr const char* kEntrySymbol = "__MAIN";

// Builds the image bytes. The code block starts with a 5-byte `jmp rel32` to the object's
// global __MAIN, recorded as symbol __MAIN at offset 0; then come the object's code and data
// sections. Global definitions become symbol records; undefined symbols become fixups by name;
// references to local symbols and sections go through internal labels ("_1", "_2", ...).
// Throws Error for anything that cannot be expressed in an image.
std::vector<uint8_t> buildModuleImage(std::span<const uint8_t> elf);

}  // namespace tximage
