#include "graphics_state.h"

#include "basic_module.h"
#include "tx_error.h"

namespace tx {
namespace {

std::unique_ptr<GraphicsState>& stateSlot() {
    static std::unique_ptr<GraphicsState> state;
    return state;
}

}  // namespace

GraphicsState* graphicsState() {
    return stateSlot().get();
}

bool openGraphicsModule(HostRuntime& runtime) {
    closeGraphicsModule();
    auto state = std::make_unique<GraphicsState>(runtime);
    state->graphics = HostGraphics::open(runtime.display(), state->buffers, kStartupWidth,
                                         kStartupHeight, 0, 0, Display::kWindowed);
    if (state->graphics == nullptr) return false;
    selectFrontBuffer(*state);
    stateSlot() = std::move(state);
    return true;
}

void closeGraphicsModule() {
    auto& state = stateSlot();
    if (state == nullptr) return;
    // Images, fonts and the console's input canvas are freed here once they exist.
    state->modeList.clear();
    state->currentBuffer = nullptr;
    state->graphics.reset();
    state.reset();
}

void selectBuffer(GraphicsState& state, uint32_t handle, HostCanvas& buffer) {
    if (HostCanvas* previous = state.currentBuffer) {
        buffer.setColor(previous->colorARGB());
        buffer.setClsColor(previous->clsColorARGB());
    }
    state.currentBuffer = &buffer;
    state.currentHandle = handle;
    // The text console's cursor goes to (0, 0) here once the console exists.
    buffer.setOrigin(0, 0);
    buffer.setViewport(0, 0, buffer.getWidth(), buffer.getHeight());
}

void selectFrontBuffer(GraphicsState& state) {
    if (state.graphics == nullptr) return;
    selectBuffer(state, state.graphics->frontHandle(), state.graphics->frontBuffer());
}

void freeDisplayCanvas(GraphicsState& state, uint32_t handle) {
    if (state.graphics == nullptr || !state.graphics->ownsCanvas(handle)) return;
    // The front buffer takes over the colours before the canvas goes.
    if (handle == state.currentHandle) selectFrontBuffer(state);
    state.graphics->freeCanvas(handle);
}

HostCanvas* checkedBuffer(uint32_t handle) {
    GraphicsState* state = graphicsState();
    HostCanvas* canvas = state != nullptr ? state->buffers.find(handle) : nullptr;
    if (canvas == nullptr && debugEnabled()) runtimeError("Buffer does not exist");
    return canvas;
}

HostCanvas* optionalBuffer(uint32_t handle) {
    return handle == 0 ? currentBuffer() : checkedBuffer(handle);
}

HostCanvas* fastBuffer(uint32_t handle) {
    if (handle == 0) return currentBuffer();
    GraphicsState* state = graphicsState();
    return state != nullptr ? state->buffers.find(handle) : nullptr;
}

HostCanvas* currentBuffer() {
    GraphicsState* state = graphicsState();
    return state != nullptr ? state->currentBuffer : nullptr;
}

void pumpOrEnd(GraphicsState& state) {
    if (!state.runtime.idle()) endQuietly();
}

}  // namespace tx
