// Overlap tests of placed canvases: a canvas drawn at (x, y) covers the box (x - handle.x,
// y - handle.y, width, height); boxes are half-open, so boxes that only touch do not overlap.
// The pixel-exact tests compare collision masks (built on a canvas's first such test and kept
// current by drawing) 32 pixels at a time, shifting one row into the other's word grid.
// No buffer, origin or viewport takes part.
#pragma once

#include <cstdint>

#include "host_canvas.h"

namespace tx {

// Whether A at (ax, ay) and B at (bx, by) overlap: by their boxes, or where both have pixels
// that are not their mask colour.
bool canvasesCollide(HostCanvas& a, int32_t ax, int32_t ay, HostCanvas& b, int32_t bx, int32_t by,
                     bool boxesOnly);

// Whether the rectangle (rx, ry, rw, rh) meets the box of A at (x, y), or, pixel-exact, holds a
// pixel of A that is not its mask colour. A rectangle with no area meets nothing pixel-exact.
bool canvasRectCollide(HostCanvas& a, int32_t x, int32_t y, int32_t rx, int32_t ry, int32_t rw,
                       int32_t rh, bool boxOnly);

// Whether two rectangles overlap; the edges are compared in 64 bits, so no sum wraps.
bool boxesOverlap(int64_t x1, int64_t y1, int64_t w1, int64_t h1, int64_t x2, int64_t y2,
                  int64_t w2, int64_t h2);

}  // namespace tx
