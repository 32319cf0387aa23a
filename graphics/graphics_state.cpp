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
    state->graphics = HostGraphics::open(runtime, state->buffers, kStartupWidth, kStartupHeight, 0,
                                         0, HostRuntime::kGraphicsWindowed);
    if (state->graphics == nullptr) return false;
    selectFrontBuffer(*state);
    ModuleState<GraphicsState>::open(std::move(state));
    return true;
}

void closeGraphicsModule() {
    GraphicsState* state = graphicsState();
    if (state == nullptr) return;
    state->modeList.clear();
    state->currentBuffer = nullptr;
    state->graphics.reset();
    ModuleState<GraphicsState>::close();
}

void selectBuffer(GraphicsState& state, uint32_t handle, HostCanvas& buffer) {
    state.currentBuffer = &buffer;
    state.currentHandle = handle;
    buffer.setOrigin(0, 0);
    buffer.setViewport(0, 0, buffer.getWidth(), buffer.getHeight());
    buffer.setColor(state.drawColor);
    buffer.setClsColor(state.clsColor);
}

void selectFrontBuffer(GraphicsState& state) {
    if (state.graphics == nullptr) return;
    selectBuffer(state, state.graphics->frontHandle(), state.graphics->frontBuffer());
}

void freeDisplayCanvas(GraphicsState& state, uint32_t handle) {
    if (state.graphics == nullptr || !state.graphics->freeCanvas(handle)) return;
    if (handle == state.currentHandle) selectFrontBuffer(state);
}

HostCanvas* currentBuffer() {
    return HandleKind<HostCanvas>::current();
}

void pumpOrEnd(GraphicsState& state) {
    if (!state.runtime.idle()) endQuietly();
}

}  // namespace tx
