// Clearing, points, lines and rectangles. Fills are whole rows or rectangles of the surface
// value; a line is drawn pixel by pixel under one lock.
#include <cstdlib>

#include "host_canvas.h"
#include "pixel_codecs.h"
#include "pixel_kernels.h"

namespace tx {
namespace {

// Cohen-Sutherland outcodes.
constexpr int kBelow = 1, kAbove = 2, kRight = 4, kLeft = 8;

struct ClipWindow {
    int32_t xmin, ymin, xmax, ymax;  // inclusive

    int code(int32_t x, int32_t y) const {
        int c = y > ymax ? kBelow : y < ymin ? kAbove : 0;
        return c | (x > xmax ? kRight : x < xmin ? kLeft : 0);
    }
};

// a + num1 * num2 / den, the quotient truncated toward zero. The product is formed exactly, so
// far-away end points clip as correctly as near ones; the result lies between the two ends.
int32_t along(int32_t a, int64_t num1, int64_t num2, int64_t den) {
    return static_cast<int32_t>(a + static_cast<int64_t>(static_cast<__int128>(num1) * num2 / den));
}

// Clips the segment to the window; false when nothing of it is inside.
bool clipLine(const ClipWindow& w, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
    // Each step puts a point on a window edge; a few steps always settle it, the bound only
    // guards the loop against anything unforeseen.
    for (int step = 0; step < 16; ++step) {
        const int c1 = w.code(x1, y1), c2 = w.code(x2, y2);
        if ((c1 | c2) == 0) return true;
        if ((c1 & c2) != 0) return false;
        const int c = c1 != 0 ? c1 : c2;
        int32_t x, y;
        if (c & kBelow) {
            y = w.ymax;
            x = along(x1, int64_t{w.ymax} - y1, int64_t{x2} - x1, int64_t{y2} - y1);
        } else if (c & kAbove) {
            y = w.ymin;
            x = along(x1, int64_t{w.ymin} - y1, int64_t{x2} - x1, int64_t{y2} - y1);
        } else if (c & kRight) {
            x = w.xmax;
            y = along(y1, int64_t{w.xmax} - x1, int64_t{y2} - y1, int64_t{x2} - x1);
        } else {
            x = w.xmin;
            y = along(y1, int64_t{w.xmin} - x1, int64_t{y2} - y1, int64_t{x2} - x1);
        }
        if (c1 != 0) {
            x1 = x;
            y1 = y;
        } else {
            x2 = x;
            y2 = y;
        }
    }
    return false;
}

// Bresenham from (x1, y1) to (x2, y2), both inside the canvas; returns the pixel count.
template <int B>
uint32_t bresenham(uint8_t* bits, ptrdiff_t pitch, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                   uint32_t value) {
    int32_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const ptrdiff_t stepX = x2 < x1 ? -B : B;
    const ptrdiff_t stepY = y2 < y1 ? -pitch : pitch;
    ptrdiff_t at = y1 * pitch + ptrdiff_t{x1} * B;  // byte offset of the current pixel
    if (dx > dy) {
        int32_t err = -dx;
        for (int32_t i = 0; i <= dx; ++i) {
            RawPixel<B>::store(bits + at, value);
            at += stepX;
            err += 2 * dy;
            if (err >= 0) {
                at += stepY;
                err -= 2 * dx;
            }
        }
        return static_cast<uint32_t>(dx) + 1;
    }
    int32_t err = -dy;
    for (int32_t i = 0; i <= dy; ++i) {
        RawPixel<B>::store(bits + at, value);
        at += stepY;
        err += 2 * dx;
        if (err >= 0) {
            at += stepX;
            err -= 2 * dy;
        }
    }
    return static_cast<uint32_t>(dy) + 1;
}

}  // namespace

void HostCanvas::fillClipped(const Rect& area, uint32_t value) {
    ops_->fill(pixelAddress(area.x0, area.y0), pitch_, area.width(), area.height(), value);
}

void HostCanvas::fillSpan(int64_t x0, int32_t y, int64_t x1) {
    if (y < viewport_.y0 || y >= viewport_.y1) return;
    const int32_t left = static_cast<int32_t>(std::max<int64_t>(x0, viewport_.x0));
    const int32_t right = static_cast<int32_t>(std::min<int64_t>(x1, viewport_.x1));
    if (right <= left) return;
    const int32_t width = right - left;
    if (width > 8) {
        ops_->fill(pixelAddress(left, y), pitch_, width, 1, color_);
        return;
    }
    // Outline spans are mostly a pixel or two: store them directly.
    uint8_t* p = pixelAddress(left, y);
    switch (format_.bytesPerPixel()) {
        case 2:
            for (int32_t i = 0; i < width; ++i) RawPixel<2>::store(p + 2 * i, color_);
            break;
        case 3:
            for (int32_t i = 0; i < width; ++i) RawPixel<3>::store(p + 3 * i, color_);
            break;
        default:
            for (int32_t i = 0; i < width; ++i) RawPixel<4>::store(p + 4 * i, color_);
            break;
    }
}

void HostCanvas::cls() {
    if (viewport_.empty()) return;
    fillClipped(viewport_, clsColor_);
    drawn(viewport_);
}

void HostCanvas::plot(int32_t x, int32_t y) {
    x = wrapAdd(x, origin_.x);
    y = wrapAdd(y, origin_.y);
    if (!viewport_.contains(x, y)) return;
    format_.storeValue(pixelAddress(x, y), color_);
    drawn({x, y, x + 1, y + 1});
}

void HostCanvas::rect(int32_t x, int32_t y, int32_t width, int32_t height, bool solid) {
    const Rect r = Rect::sized(wrapAdd(x, origin_.x), wrapAdd(y, origin_.y), width, height);
    const Rect clipped = r.intersect(viewport_);
    if (clipped.empty()) return;
    if (solid) {
        fillClipped(clipped, color_);
    } else {
        // Each edge is clipped on its own: an edge outside the viewport is not drawn on its
        // border. r is not empty here, so the edges below do not wrap.
        const Rect edges[4] = {{r.x0, r.y0, r.x1, r.y0 + 1},
                               {r.x0, r.y0, r.x0 + 1, r.y1},
                               {r.x1 - 1, r.y0, r.x1, r.y1},
                               {r.x0, r.y1 - 1, r.x1, r.y1}};
        for (const Rect& edge : edges) {
            const Rect e = edge.intersect(viewport_);
            if (!e.empty()) fillClipped(e, color_);
        }
    }
    drawn(clipped);
}

void HostCanvas::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (viewport_.empty()) return;
    x1 = wrapAdd(x1, origin_.x);
    y1 = wrapAdd(y1, origin_.y);
    x2 = wrapAdd(x2, origin_.x);
    y2 = wrapAdd(y2, origin_.y);
    const ClipWindow window{viewport_.x0, viewport_.y0, viewport_.x1 - 1, viewport_.y1 - 1};
    if (!clipLine(window, x1, y1, x2, y2)) return;
    if (x1 == x2 && y1 == y2) {
        setPixelAt(x1, y1, colorARGB_);
        return;
    }
    lock();
    uint32_t count;
    switch (format_.bytesPerPixel()) {
        case 2:
            count = bresenham<2>(bits_, pitch_, x1, y1, x2, y2, color_);
            break;
        case 3:
            count = bresenham<3>(bits_, pitch_, x1, y1, x2, y2, color_);
            break;
        default:
            count = bresenham<4>(bits_, pitch_, x1, y1, x2, y2, color_);
            break;
    }
    const Rect touched{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1,
                       std::max(y1, y2) + 1};
    pixelsWritten(touched, count);
    unlock();
}

}  // namespace tx
