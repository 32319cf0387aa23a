// Image records: their table, their frames on the display, and the frame check.
#include "image.h"

#include <utility>

#include "basic_module.h"
#include "graphics_state.h"
#include "tx_error.h"

namespace tx {

Image* HandleKind<Image>::find(uint32_t handle) {
    GraphicsState* state = graphicsState();
    return state != nullptr ? state->images.find(handle) : nullptr;
}

HostCanvas* imageFrame(Image* image, int32_t frame) {
    if (image == nullptr) return nullptr;
    // Compared unsigned, so negative frames are out of range too.
    if (static_cast<uint32_t>(frame) >= image->frames.size()) {
        if (debugEnabled()) runtimeError("Image frame out of range");
        return nullptr;
    }
    return image->frames[static_cast<size_t>(frame)].canvas;
}

ImageFrame newFrame(GraphicsState& state, int32_t width, int32_t height) {
    if (state.graphics == nullptr) return {};
    const HostGraphics::NewCanvas made = state.graphics->createCanvas(width, height);
    return {made.handle, made.canvas};
}

ImageFrame adoptFrame(GraphicsState& state, std::unique_ptr<HostCanvas> canvas) {
    if (state.graphics == nullptr) return {};
    const HostGraphics::NewCanvas made = state.graphics->adoptCanvas(std::move(canvas));
    return {made.handle, made.canvas};
}

void applyAutoMidHandle(const GraphicsState& state, HostCanvas& frame) {
    if (state.autoMidHandle) frame.setHandle(frame.getWidth() / 2, frame.getHeight() / 2);
}

void freeFrames(GraphicsState& state, const std::vector<ImageFrame>& frames) {
    for (const ImageFrame& frame : frames) freeDisplayCanvas(state, frame.handle);
}

uint32_t registerImage(GraphicsState& state, std::vector<ImageFrame> frames) {
    auto image = std::make_unique<Image>();
    image->frames = frames;
    const uint32_t handle = state.images.insert(std::move(image));
    if (handle == 0) freeFrames(state, frames);
    return handle;
}

void releaseImage(GraphicsState& state, uint32_t handle) {
    Image* image = state.images.find(handle);
    if (image == nullptr) return;
    const std::vector<ImageFrame> frames = std::move(image->frames);
    state.images.erase(handle);
    freeFrames(state, frames);
}

void freeAllImages(GraphicsState& state) {
    std::vector<ImageFrame> frames;
    state.images.forEach([&](Image& image) {
        frames.insert(frames.end(), image.frames.begin(), image.frames.end());
    });
    state.images.clear();
    freeFrames(state, frames);
}

}  // namespace tx
