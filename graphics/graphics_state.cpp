#include "graphics_state.h"

#include "basic_module.h"
#include "tx_error.h"

namespace tx {

GraphicsState* graphicsState() {
    return ModuleState<GraphicsState>::find();
}

bool openGraphicsModule(HostRuntime& runtime) {
    closeGraphicsModule();
    auto state = std::make_unique<GraphicsState>(runtime);
    state->graphics = HostGraphics::open(runtime.display(), state->buffers, kStartupWidth,
                                         kStartupHeight, 0, 0, Display::kWindowed);
    if (state->graphics == nullptr) return false;
    useDefaultFont(*state);
    selectFrontBuffer(*state);
    ModuleState<GraphicsState>::open(std::move(state));
    return true;
}

void closeGraphicsModule() {
    GraphicsState* state = graphicsState();
    if (state == nullptr) return;
    state->modeList.clear();
    freeAllImages(*state);
    closeDisplay(*state);
    ModuleState<GraphicsState>::close();
}

void closeDisplay(GraphicsState& state) {
    state.console.inputCanvas.reset();
    state.currentBuffer = nullptr;
    state.currentHandle = 0;
    state.currentFont = nullptr;
    state.fonts.clear();
    state.graphics.reset();
}

void useDefaultFont(GraphicsState& state) {
    state.currentFont = state.graphics != nullptr ? state.graphics->defaultFont() : nullptr;
}

void selectBuffer(GraphicsState& state, uint32_t handle, HostCanvas& buffer) {
    if (HostCanvas* previous = state.currentBuffer) {
        buffer.setColor(previous->colorARGB());
        buffer.setClsColor(previous->clsColorARGB());
    }
    state.currentBuffer = &buffer;
    state.currentHandle = handle;
    buffer.setOrigin(0, 0);
    buffer.setViewport(0, 0, buffer.getWidth(), buffer.getHeight());
    buffer.setFont(state.currentFont);
    state.console.cursorX = 0;
    state.console.cursorY = 0;
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

HostCanvas* currentBuffer() {
    return HandleKind<HostCanvas>::current();
}

void pumpOrEnd(GraphicsState& state) {
    if (!state.runtime.idle()) endQuietly();
}

}  // namespace tx
