// Ovals, in single-precision arithmetic: each row's half width is sqrt(ry^2 - dy^2) scaled by
// the aspect ratio, and the row's span runs from floor(cx - hw) to floor(cx + hw). A solid oval
// fills each span; an outline fills, per row, only what joins the row's edges to the previous
// row's, working from the top and bottom rows toward the middle.
#include <cmath>

#include "host_canvas.h"

namespace tx {
namespace {

// floor(f) as an integer; values beyond the 32-bit range saturate. (The conversion truncates
// toward zero, so negative fractions step down by one; floats of 2^23 and more are whole.)
int32_t floorToInt(float f) {
    if (f >= 2147483648.0f) return INT32_MAX;
    if (!(f >= -2147483648.0f)) return INT32_MIN;
    const int32_t i = static_cast<int32_t>(f);
    return f < static_cast<float>(i) ? i - 1 : i;
}

// f truncated toward zero as an integer, saturating likewise.
int32_t truncToInt(float f) {
    if (f >= 2147483648.0f) return INT32_MAX;
    if (!(f >= -2147483648.0f)) return INT32_MIN;
    return static_cast<int32_t>(f);
}

struct Span {
    int32_t left, right;
};

// The row at vertical distance dy from the centre. Rounding in very large ovals can make the
// radicand slightly negative at the tips; it counts as 0 there.
Span ovalRow(float dy, float cx, float ry2, float aspect) {
    const float hw = std::sqrt(std::max(0.0f, ry2 - dy * dy)) * aspect;
    return {floorToInt(cx - hw), floorToInt(hw + cx)};
}

}  // namespace

void HostCanvas::oval(int32_t x, int32_t y, int32_t width, int32_t height, bool solid) {
    x = wrapAdd(x, origin_.x);
    y = wrapAdd(y, origin_.y);
    const Rect box = Rect::sized(x, y, width, height);
    const Rect clipped = box.intersect(viewport_);
    if (clipped.empty()) return;

    const float ry = static_cast<float>(height) * 0.5f;
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const float cx = (static_cast<float>(width) * 0.5f + static_cast<float>(x)) + 0.5f;
    const float cy = (static_cast<float>(y) + ry) - 0.5f;
    const float ry2 = ry * ry;

    if (solid) {
        float dy = static_cast<float>(clipped.y0) - cy;
        for (int32_t r = clipped.y0; r < clipped.y1; ++r, dy += 1.0f) {
            // The span clipped to the viewport: filled when R > L and it meets the viewport.
            const Span s = ovalRow(dy, cx, ry2, aspect);
            fillSpan(s.left, r, s.right);
        }
    } else {
        ovalOutline(box, clipped, cx, cy, ry2, aspect);
    }
    drawn(clipped);
}

void HostCanvas::ovalOutline(const Rect& box, const Rect& clipped, float cx, float cy, float ry2,
                             float aspect) {
    const int32_t mid = floorToInt(cy);
    const int32_t centre = truncToInt(cx);

    // Each row's spans reach back to the previous row's edges, so the outline has no gaps; the
    // first row of each half is filled from edge to centre. Rows past the viewport draw
    // nothing, so each half stops there.
    auto row = [&](int32_t r, float dy, Span& prev) {
        const Span s = ovalRow(dy, cx, ry2, aspect);
        fillSpan(s.left, r, prev.left > s.left ? int64_t{prev.left} : int64_t{s.left} + 1);
        fillSpan(prev.right < s.right ? int64_t{prev.right} : int64_t{s.right} - 1, r, s.right);
        prev = s;
    };

    // Top half, downward to the middle row. A clipped top starts one row above the viewport so
    // its first visible row joins the row above it.
    int32_t r = clipped.y0;
    float dy = static_cast<float>(r) - cy;
    if (clipped.y0 > box.y0) {
        r -= 1;
        dy -= 1.0f;
    }
    Span prev{centre, centre};
    for (; r <= mid && r < viewport_.y1; ++r, dy += 1.0f) row(r, dy, prev);

    // Bottom half, upward to the row below the middle.
    r = clipped.y1 - 1;
    dy = static_cast<float>(r) - cy;
    if (clipped.y1 < box.y1) {
        r += 1;
        dy += 1.0f;
    }
    prev = {centre, centre};
    for (; r > mid && r >= viewport_.y0; --r, dy -= 1.0f) row(r, dy, prev);
}

}  // namespace tx
