// Single pixels and block copies between buffers. A buffer of 0 is the current buffer.
#include "graphics_commands.h"
#include "graphics_state.h"

namespace tx {

int32_t readPixel(int32_t x, int32_t y, uint32_t buffer) {
    HostCanvas* canvas = optionalBuffer(buffer);
    return canvas != nullptr ? static_cast<int32_t>(canvas->getPixel(x, y)) : 0;
}

void writePixel(int32_t x, int32_t y, int32_t argb, uint32_t buffer) {
    if (HostCanvas* canvas = optionalBuffer(buffer))
        canvas->setPixel(x, y, static_cast<uint32_t>(argb));
}

// The fast commands leave locking and coordinates to the program; a point outside the buffer
// still never reaches outside its pixels.
int32_t readPixelFast(int32_t x, int32_t y, uint32_t buffer) {
    HostCanvas* canvas = fastBuffer(buffer);
    return canvas != nullptr ? static_cast<int32_t>(canvas->getPixelFast(x, y)) : 0;
}

void writePixelFast(int32_t x, int32_t y, int32_t argb, uint32_t buffer) {
    if (HostCanvas* canvas = fastBuffer(buffer))
        canvas->setPixelFast(x, y, static_cast<uint32_t>(argb));
}

void copyPixel(int32_t srcX, int32_t srcY, uint32_t srcBuffer, int32_t destX, int32_t destY,
               uint32_t destBuffer) {
    HostCanvas* source = fastBuffer(srcBuffer);
    HostCanvas* dest = fastBuffer(destBuffer);
    if (source != nullptr && dest != nullptr) dest->copyPixel(destX, destY, *source, srcX, srcY);
}

void copyPixelFast(int32_t srcX, int32_t srcY, uint32_t srcBuffer, int32_t destX, int32_t destY,
                   uint32_t destBuffer) {
    HostCanvas* source = fastBuffer(srcBuffer);
    HostCanvas* dest = fastBuffer(destBuffer);
    if (source != nullptr && dest != nullptr)
        dest->copyPixelFast(destX, destY, *source, srcX, srcY);
}

void copyRect(int32_t srcX, int32_t srcY, int32_t width, int32_t height, int32_t destX,
              int32_t destY, uint32_t srcBuffer, uint32_t destBuffer) {
    HostCanvas* source = optionalBuffer(srcBuffer);
    HostCanvas* dest = optionalBuffer(destBuffer);
    if (source != nullptr && dest != nullptr)
        dest->blit(destX, destY, *source, srcX, srcY, width, height, true);
}

}  // namespace tx
