// Writes a canvas as a 24-bit BMP file: 14-byte file header, 40-byte information header, rows
// bottom-up, each pixel blue, green, red as the canvas's pixel format reads it back (alpha
// dropped), each row padded with zeros to a multiple of 4 bytes.
#pragma once

#include <string>

#include "host_canvas.h"

namespace tx {

// True when the whole file was written; false when it could not be created or written.
bool writeBmp(HostCanvas& canvas, const std::string& path);

}  // namespace tx
