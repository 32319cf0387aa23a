// The game executable: runs the module image carried in its own raw-data section.
#include <cstdint>
#include <span>

#include "program_entry.h"

extern "C" const uint8_t tervex_image_begin[];
extern "C" const uint8_t tervex_image_end[];

int main(int argc, char** argv) {
    const std::span<const uint8_t> image(tervex_image_begin, tervex_image_end);
    return tx::processEntry(image, tx::joinCommandLine(argc, argv), false);
}
