// The drawing state of the current buffer (origin, viewport, colours) and the shapes drawn into
// it. Selecting another buffer carries the colours over to it.
#include "graphics_commands.h"
#include "graphics_state.h"

namespace tx {
namespace {

// ((red << 8 | green) << 8) | blue on 32-bit words: components above 255 reach into the
// neighbouring channels, as the program's integer arithmetic would.
uint32_t packRgb(int32_t red, int32_t green, int32_t blue) {
    return ((static_cast<uint32_t>(red) << 8 | static_cast<uint32_t>(green)) << 8) |
           static_cast<uint32_t>(blue);
}

}  // namespace

void origin(int32_t x, int32_t y) {
    if (HostCanvas* canvas = currentBuffer()) canvas->setOrigin(x, y);
}

void viewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (HostCanvas* canvas = currentBuffer()) canvas->setViewport(x, y, width, height);
}

void color(int32_t red, int32_t green, int32_t blue) {
    if (HostCanvas* canvas = currentBuffer()) canvas->setColor(packRgb(red, green, blue));
}

void getColor(int32_t x, int32_t y) {
    if (HostCanvas* canvas = currentBuffer()) canvas->setColor(canvas->getPixel(x, y));
}

// The colour as the buffer holds it (on a 16-bit display white reads 248, 252, 248).
int32_t colorRed() {
    HostCanvas* canvas = currentBuffer();
    return canvas != nullptr ? static_cast<int32_t>(canvas->getColor() >> 16 & 0xFF) : 0;
}

int32_t colorGreen() {
    HostCanvas* canvas = currentBuffer();
    return canvas != nullptr ? static_cast<int32_t>(canvas->getColor() >> 8 & 0xFF) : 0;
}

int32_t colorBlue() {
    HostCanvas* canvas = currentBuffer();
    return canvas != nullptr ? static_cast<int32_t>(canvas->getColor() & 0xFF) : 0;
}

void clsColor(int32_t red, int32_t green, int32_t blue) {
    if (HostCanvas* canvas = currentBuffer()) canvas->setClsColor(packRgb(red, green, blue));
}

void cls() {
    if (HostCanvas* canvas = currentBuffer()) canvas->cls();
}

void plot(int32_t x, int32_t y) {
    if (HostCanvas* canvas = currentBuffer()) canvas->plot(x, y);
}

void rect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t solid) {
    if (HostCanvas* canvas = currentBuffer()) canvas->rect(x, y, width, height, solid != 0);
}

void oval(int32_t x, int32_t y, int32_t width, int32_t height, int32_t solid) {
    if (HostCanvas* canvas = currentBuffer()) canvas->oval(x, y, width, height, solid != 0);
}

void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (HostCanvas* canvas = currentBuffer()) canvas->line(x1, y1, x2, y2);
}

}  // namespace tx
