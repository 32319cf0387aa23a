// Making a HostFont from a face: every character of the range rasterised once, one bit deep, at
// the requested cell height, into a glyph sheet laid out in rows no wider than the display.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "host_font.h"
#include "pixel_format.h"

namespace tx {

namespace font_style {
inline constexpr uint32_t kBold = 1;
inline constexpr uint32_t kItalic = 2;
inline constexpr uint32_t kUnderline = 4;
}  // namespace font_style

// The font of a face name or font file (see FontFace::open) whose text lines are `height`
// pixels high (a negative height asks for that many pixels per em instead, 0 for the default
// 12). `rowWidth` is the display's width: the sheet's rows are that wide. Null when the face cannot
// be opened or the sheet cannot be made.
std::unique_ptr<HostFont> loadFont(std::string_view name, int32_t height, uint32_t style,
                                   const PixelFormat& format, int32_t rowWidth);

}  // namespace tx
