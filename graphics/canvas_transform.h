// The affine transform of a canvas about a pivot, in single precision: the matrix maps a point
// (x, y) relative to the pivot to (a x + c y, b x + d y). The result's box is the mapped
// source box rounded outwards; its handle is where the pivot lands, so the picture keeps its
// place. Each result pixel samples the source at the inverse-mapped pixel centre, nearest or
// bilinear; points outside the source (or its viewport) read as its mask colour, so the corners
// of a rotated picture are transparent.
#pragma once

#include <cstdint>
#include <optional>

#include "canvas_geometry.h"
#include "host_canvas.h"

namespace tx {

struct Affine {
    float a = 1, b = 0, c = 0, d = 1;
};

// Where a transform puts a w x h source, and the inverse matrix its pixels are sampled with.
struct TransformPlan {
    int32_t width = 0;
    int32_t height = 0;
    Point handle;  // the pivot in the result
    float minX = 0, minY = 0;
    float ia = 0, ib = 0, ic = 0, id = 0;
    float pivotX = 0, pivotY = 0;
};

// None when the matrix is singular or not finite, or the result would be empty or larger than
// a canvas can be: the caller then leaves the picture as it is.
std::optional<TransformPlan> planTransform(int32_t width, int32_t height, const Affine& m,
                                           int32_t pivotX, int32_t pivotY);

// Fills `dest` (plan.width x plan.height, the source's pixel format) from `source`; sets its
// handle and mask colour. `filter` chooses bilinear sampling over the nearest pixel.
void renderTransform(const TransformPlan& plan, const HostCanvas& source, HostCanvas& dest,
                     bool filter);

}  // namespace tx
