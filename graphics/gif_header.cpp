#include "gif_header.h"

namespace tx {
namespace {

int32_t littleEndian16(const uint8_t* p) {
    return int32_t{p[0]} | int32_t{p[1]} << 8;
}

}  // namespace

std::optional<GifSizes> readGifSizes(std::FILE* file) {
    // Signature, logical screen width and height, flags, background, aspect.
    uint8_t header[13];
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(header, 1, 13, file) != 13)
        return std::nullopt;
    GifSizes sizes;
    sizes.screenWidth = littleEndian16(header + 6);
    sizes.screenHeight = littleEndian16(header + 8);
    const uint8_t flags = header[10];
    if ((flags & 0x80) != 0 && std::fseek(file, 3L << ((flags & 7) + 1), SEEK_CUR) != 0)
        return std::nullopt;  // the global colour table
    for (;;) {
        const int introducer = std::fgetc(file);
        if (introducer == 0x21) {  // an extension: its label, then sub-blocks up to an empty one
            if (std::fgetc(file) == EOF) return std::nullopt;
            for (int size = 0; (size = std::fgetc(file)) > 0;)
                if (std::fseek(file, size, SEEK_CUR) != 0) return std::nullopt;
            continue;
        }
        if (introducer != 0x2C) return std::nullopt;  // the trailer, the end, or not a GIF
        uint8_t descriptor[8];                        // left, top, width, height
        if (std::fread(descriptor, 1, 8, file) != 8) return std::nullopt;
        sizes.imageWidth = littleEndian16(descriptor + 4);
        sizes.imageHeight = littleEndian16(descriptor + 6);
        return sizes;
    }
}

}  // namespace tx
