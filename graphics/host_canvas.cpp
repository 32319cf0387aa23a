// HostCanvas: drawing state, single pixels through the origin and viewport.
#include "host_canvas.h"

#include <new>
#include <utility>

namespace tx {

std::unique_ptr<HostCanvas> HostCanvas::create(int32_t width, int32_t height,
                                               const PixelFormat& format) {
    std::shared_ptr<Memory> memory = allocate(width, height, format);
    if (memory == nullptr) return nullptr;
    try {
        return std::make_unique<HostCanvas>(Key{}, std::move(memory));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<HostCanvas> HostCanvas::createSharing(const HostCanvas& pixelsOf) {
    try {
        return std::make_unique<HostCanvas>(Key{}, pixelsOf.memory());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HostCanvas::HostCanvas(Key, std::shared_ptr<Memory> memory)
    : CanvasPixels(std::move(memory)),
      viewport_(bounds_),
      color_(format_.fromARGB(colorARGB_)),
      clsColor_(format_.fromARGB(clsColorARGB_)) {}

// ---- Drawing state

void HostCanvas::setViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    const Rect r = Rect::sized(x, y, width, height).intersect(bounds_);
    viewport_ = r.empty() ? Rect{} : r;
}

void HostCanvas::setColor(uint32_t argb) {
    colorARGB_ = argb | 0xFF000000u;
    color_ = format_.fromARGB(colorARGB_);
}

// ---- Single pixels

void HostCanvas::setPixelAt(int32_t x, int32_t y, uint32_t argb) {
    if (!viewport_.contains(x, y)) return;
    lock();
    format_.storeARGB(pixelAddress(x, y), argb);
    pixelsWritten({x, y, x + 1, y + 1}, 1);
    unlock();
}

void HostCanvas::setPixel(int32_t x, int32_t y, uint32_t argb) {
    setPixelAt(wrapAdd(x, origin_.x), wrapAdd(y, origin_.y), argb);
}

uint32_t HostCanvas::getPixel(int32_t x, int32_t y) const {
    x = wrapAdd(x, origin_.x);
    y = wrapAdd(y, origin_.y);
    if (!viewport_.contains(x, y)) return getMask();
    return format_.loadARGB(pixelAddress(x, y));
}

void HostCanvas::copyPixel(int32_t dx, int32_t dy, const HostCanvas& source, int32_t sx,
                           int32_t sy) {
    dx = wrapAdd(dx, origin_.x);
    dy = wrapAdd(dy, origin_.y);
    sx = wrapAdd(sx, source.origin_.x);
    sy = wrapAdd(sy, source.origin_.y);
    if (!viewport_.contains(dx, dy) || !source.viewport_.contains(sx, sy)) return;
    copyPixelFast(dx, dy, source, sx, sy);
}

}  // namespace tx
