// The game executable: runs the module image attached to the end of its own file when there is
// one (attached_image.h), otherwise the one carried in its raw-data section. An attached image
// that cannot be read is an unusable image: the carried program never stands in for the game.
// An executable that cannot open its own file (no /proc) runs the carried program.
#include <cstdint>
#include <cstdio>
#include <span>

#include "attached_image.h"
#include "program_entry.h"

extern "C" const uint8_t tervex_image_begin[];
extern "C" const uint8_t tervex_image_end[];

int main(int argc, char** argv) {
    std::span<const uint8_t> image(tervex_image_begin, tervex_image_end);
    const tx::AttachedImageRead attached = tx::readAttachedImage("/proc/self/exe");
    if (attached.kind == tx::AttachedKind::Damaged) {
        std::fprintf(stderr, "Can't read the attached module image: %s\n", attached.error.c_str());
        return tx::reportUnusableImage();
    }
    if (attached.kind == tx::AttachedKind::Attached) image = attached.bytes;
    return tx::processEntry(image, tx::joinCommandLine(argc, argv), false);
}
