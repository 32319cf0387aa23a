// Buffers: the front and back buffer handles, the current buffer, saving a buffer as a BMP file,
// and locking.
#include "bmp_writer.h"
#include "graphics_commands.h"
#include "graphics_state.h"
#include "path_lookup.h"

namespace tx {

uint32_t frontBuffer(GraphicsState& state) {
    return state.graphics != nullptr ? state.graphics->frontHandle() : 0;
}

uint32_t backBuffer(GraphicsState& state) {
    return state.graphics != nullptr ? state.graphics->backHandle() : 0;
}

void setBuffer(GraphicsState& state, BufferHandle buffer) {
    if (buffer) selectBuffer(state, buffer.raw(), *buffer);
}

uint32_t graphicsBuffer(GraphicsState& state) {
    return state.currentHandle;
}

// The buffer argument is not optional: 0 names no buffer.
int32_t saveBuffer(BufferHandle buffer, StrArg file) {
    if (!buffer) return 0;
    return writeBmp(*buffer, hostPath(file.view())) ? 1 : 0;
}

void lockBuffer(BufferOrCurrent buffer) {
    if (buffer) buffer->lock();
}

void unlockBuffer(BufferOrCurrent buffer) {
    if (buffer) buffer->unlock();
}

}  // namespace tx
