// Row converters from the canvas pixel layouts to 0x00RRGGBB words, for renderers whose textures
// cannot take those layouts as they are. One pass per row, no per-pixel branches.
#pragma once

#include <cstdint>

namespace tx {

// 5-6-5 words to 8-8-8, each channel widened by repeating its top bits (full intensity stays
// full: 0xFFFF becomes 0xFFFFFF, as a display shows it).
void convertRow565(uint32_t* out, const uint8_t* in, int32_t width);

// Bytes blue, green, red to 0x00RRGGBB.
void convertRowBgr24(uint32_t* out, const uint8_t* in, int32_t width);

// A row of a canvas of the given depth (16, 24 or 32 bits) to 0x00RRGGBB words.
void convertRow(uint32_t* out, const uint8_t* in, int32_t width, int32_t depth);

}  // namespace tx
