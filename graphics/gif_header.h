// The sizes a GIF file claims before any of its pixels: the logical screen and the first
// image. FreeImage cannot read them without decoding, and allocates the whole picture first
// (a 43-byte file claiming 65535 x 65535 made it take 17 GB), so the loader checks them here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

namespace tx {

struct GifSizes {
    int32_t screenWidth = 0, screenHeight = 0;
    int32_t imageWidth = 0, imageHeight = 0;
};

// Reads from the start of the file; none when it holds no image before its end or trailer.
std::optional<GifSizes> readGifSizes(std::FILE* file);

}  // namespace tx
