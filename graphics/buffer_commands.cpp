// Buffers: the front and back buffer handles, the current buffer, loading a picture over a
// buffer, saving a buffer as a BMP file, and locking.
#include "bmp_writer.h"
#include "canvas_transform.h"
#include "graphics_commands.h"
#include "graphics_state.h"
#include "path_lookup.h"
#include "picture_loader.h"

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

// The picture is scaled to the buffer's size by the image transform (filtered as TFormFilter
// says) and copied over the whole buffer, clipped by its viewport but not moved by its origin.
int32_t loadBuffer(BufferHandle buffer, StrArg file) {
    GraphicsState* state = graphicsState();
    if (!buffer || state == nullptr) return 0;
    std::unique_ptr<HostCanvas> picture = loadPicture(file.view(), buffer->format());
    if (picture == nullptr) return 0;
    const Affine scale{
        static_cast<float>(buffer->getWidth()) / static_cast<float>(picture->getWidth()), 0.0f,
        0.0f, static_cast<float>(buffer->getHeight()) / static_cast<float>(picture->getHeight())};
    const std::optional<TransformPlan> plan =
        planTransform(picture->getWidth(), picture->getHeight(), scale, 0, 0);
    if (!plan) return 0;
    const std::unique_ptr<HostCanvas> scaled =
        HostCanvas::create(plan->width, plan->height, buffer->format());
    if (scaled == nullptr) return 0;
    renderTransform(*plan, *picture, *scaled, state->tformFilter);
    const Point origin = buffer->getOrigin();
    buffer->setOrigin(0, 0);
    buffer->blit(0, 0, *scaled, 0, 0, scaled->getWidth(), scaled->getHeight(), true);
    buffer->setOrigin(origin.x, origin.y);
    return 1;
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
