// Points and half-open rectangles in canvas coordinates.
//
// Coordinates are 32-bit like the program's; sums of a position and a size wrap as the
// program's own 32-bit arithmetic would, instead of overflowing.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tx {

// Two's-complement wrapping sum of 32-bit values.
constexpr int32_t wrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t wrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend constexpr bool operator==(Point, Point) = default;
};

// x0 <= x < x1, y0 <= y < y1; empty when x1 <= x0 or y1 <= y0.
struct Rect {
    int32_t x0 = 0;
    int32_t y0 = 0;
    int32_t x1 = 0;
    int32_t y1 = 0;

    // The rectangle of a position and a size.
    static constexpr Rect sized(int32_t x, int32_t y, int32_t width, int32_t height) {
        return {x, y, wrapAdd(x, width), wrapAdd(y, height)};
    }

    constexpr bool empty() const { return x1 <= x0 || y1 <= y0; }
    constexpr int32_t width() const { return x1 - x0; }   // of a non-empty rectangle
    constexpr int32_t height() const { return y1 - y0; }  // of a non-empty rectangle
    constexpr bool contains(int32_t x, int32_t y) const {
        return x >= x0 && x < x1 && y >= y0 && y < y1;
    }
    // The common part; empty (possibly with reversed edges) when they do not meet.
    constexpr Rect intersect(const Rect& o) const {
        return {std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
    }
    // The smallest rectangle holding both; an empty operand counts as nothing.
    constexpr Rect unite(const Rect& o) const {
        if (empty()) return o;
        if (o.empty()) return *this;
        return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
    }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace tx
