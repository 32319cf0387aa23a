// Drawing image frames into the current buffer: whole frames, parts of frames and tiles, masked
// (the frame's mask colour is transparent) or as solid blocks. The frame's handle is placed at
// the drawing position, and the buffer's origin is added.
#include "graphics_commands.h"
#include "graphics_state.h"

namespace tx {
namespace {

void draw(const ImageHandle& image, int32_t x, int32_t y, int32_t frame, bool solid) {
    HostCanvas* canvas = imageFrame(image, frame);
    HostCanvas* buffer = currentBuffer();
    if (canvas == nullptr || buffer == nullptr) return;
    buffer->blit(x, y, *canvas, 0, 0, canvas->getWidth(), canvas->getHeight(), solid);
}

void drawRect(const ImageHandle& image, int32_t x, int32_t y, int32_t rectX, int32_t rectY,
              int32_t rectWidth, int32_t rectHeight, int32_t frame, bool solid) {
    HostCanvas* canvas = imageFrame(image, frame);
    HostCanvas* buffer = currentBuffer();
    if (canvas == nullptr || buffer == nullptr) return;
    buffer->blit(x, y, *canvas, rectX, rectY, rectWidth, rectHeight, solid);
}

// x mod m in 0..m-1 for positive m, in 64 bits.
int64_t modPositive(int64_t x, int64_t m) {
    const int64_t r = x % m;
    return r < 0 ? r + m : r;
}

// Tiles cover the buffer's viewport on a grid aligned with where the frame would be drawn at
// (x, y): the first tile starts at, or up to one tile left of and above, the viewport's corner.
void tile(const ImageHandle& image, int32_t x, int32_t y, int32_t frame, bool solid) {
    HostCanvas* canvas = imageFrame(image, frame);
    HostCanvas* buffer = currentBuffer();
    if (canvas == nullptr || buffer == nullptr) return;
    const Rect view = buffer->getViewport();
    if (view.empty()) return;
    const Point origin = buffer->getOrigin(), handle = canvas->getHandle();
    const int64_t w = canvas->getWidth(), h = canvas->getHeight();
    // Positions the blit turns back into the viewport's corner (it adds the origin and
    // subtracts the handle).
    const int32_t bx = wrapAdd(wrapSub(view.x0, origin.x), handle.x);
    const int32_t by = wrapAdd(wrapSub(view.y0, origin.y), handle.y);
    // How far into a tile the corner lies: 1..w (w when aligned) so the first tile never
    // starts right of the corner.
    const int64_t ex = wrapSub(x, bx), ey = wrapSub(y, by);
    const int64_t rx = ex >= 0 ? modPositive(ex, w) : w - modPositive(-ex, w);
    const int64_t ry = ey >= 0 ? modPositive(ey, h) : h - modPositive(-ey, h);
    const int64_t vw = view.width(), vh = view.height();
    for (int64_t yy = -h; yy < vh; yy += h) {
        for (int64_t xx = -w; xx < vw; xx += w) {
            buffer->blit(static_cast<int32_t>(bx + rx + xx), static_cast<int32_t>(by + ry + yy),
                         *canvas, 0, 0, static_cast<int32_t>(w), static_cast<int32_t>(h), solid);
        }
    }
}

}  // namespace

void drawImage(ImageHandle image, int32_t x, int32_t y, int32_t frame) {
    draw(image, x, y, frame, false);
}

void drawBlock(ImageHandle image, int32_t x, int32_t y, int32_t frame) {
    draw(image, x, y, frame, true);
}

void tileImage(ImageHandle image, int32_t x, int32_t y, int32_t frame) {
    tile(image, x, y, frame, false);
}

void tileBlock(ImageHandle image, int32_t x, int32_t y, int32_t frame) {
    tile(image, x, y, frame, true);
}

void drawImageRect(ImageHandle image, int32_t x, int32_t y, int32_t rectX, int32_t rectY,
                   int32_t rectWidth, int32_t rectHeight, int32_t frame) {
    drawRect(image, x, y, rectX, rectY, rectWidth, rectHeight, frame, false);
}

void drawBlockRect(ImageHandle image, int32_t x, int32_t y, int32_t rectX, int32_t rectY,
                   int32_t rectWidth, int32_t rectHeight, int32_t frame) {
    drawRect(image, x, y, rectX, rectY, rectWidth, rectHeight, frame, true);
}

}  // namespace tx
