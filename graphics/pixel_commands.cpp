// Single pixels and block copies between buffers. A buffer of 0 is the current buffer.
#include "graphics_commands.h"
#include "graphics_state.h"

namespace tx {

int32_t readPixel(int32_t x, int32_t y, BufferOrCurrent buffer) {
    return buffer ? static_cast<int32_t>(buffer->getPixel(x, y)) : 0;
}

void writePixel(int32_t x, int32_t y, int32_t argb, BufferOrCurrent buffer) {
    if (buffer) buffer->setPixel(x, y, static_cast<uint32_t>(argb));
}

// The fast commands leave locking and coordinates to the program; a point outside the buffer
// still never reaches outside its pixels.
int32_t readPixelFast(int32_t x, int32_t y, FastBuffer buffer) {
    return buffer ? static_cast<int32_t>(buffer->getPixelFast(x, y)) : 0;
}

void writePixelFast(int32_t x, int32_t y, int32_t argb, FastBuffer buffer) {
    if (buffer) buffer->setPixelFast(x, y, static_cast<uint32_t>(argb));
}

void copyPixel(int32_t srcX, int32_t srcY, FastBuffer source, int32_t destX, int32_t destY,
               FastBuffer dest) {
    if (source && dest) dest->copyPixel(destX, destY, *source, srcX, srcY);
}

void copyPixelFast(int32_t srcX, int32_t srcY, FastBuffer source, int32_t destX, int32_t destY,
                   FastBuffer dest) {
    if (source && dest) dest->copyPixelFast(destX, destY, *source, srcX, srcY);
}

void copyRect(int32_t srcX, int32_t srcY, int32_t width, int32_t height, int32_t destX,
              int32_t destY, BufferOrCurrent source, BufferOrCurrent dest) {
    if (source && dest) dest->blit(destX, destY, *source, srcX, srcY, width, height, true);
}

}  // namespace tx
