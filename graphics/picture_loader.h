// Picture files into canvases, through FreeImage: the file format is found from the file's
// contents, else from its name; every picture goes through 32-bit ARGB with alpha set opaque,
// rows upright, into the pixel format asked for.
#pragma once

#include <memory>
#include <string_view>

#include "host_canvas.h"
#include "pixel_format.h"

namespace tx {

// The picture a program path names (looked up as the file commands do), as a new canvas of the
// format with mask colour black and handle (0, 0). Null, without any error, when the file is
// missing, unreadable, of no known format, truncated, damaged, or too large for a canvas.
std::unique_ptr<HostCanvas> loadPicture(std::string_view programPath, const PixelFormat& format);

}  // namespace tx
