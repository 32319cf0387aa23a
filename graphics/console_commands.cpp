// The console commands and the pointer's visibility.
#include "console.h"
#include "graphics_commands.h"
#include "graphics_state.h"

namespace tx {

void write(GraphicsState& state, StrArg text) {
    consoleWrite(state, text.view());
}

void print(GraphicsState& state, StrArg text) {
    consolePrint(state, text.view());
}

Str input(GraphicsState& state, StrArg prompt) {
    return strNew(consoleInput(state, prompt.view()));
}

void locate(GraphicsState& state, int32_t x, int32_t y) {
    consoleLocate(state, x, y);
}

void showPointer(GraphicsState& state) {
    state.runtime.display().setPointerVisible(true);
}

void hidePointer(GraphicsState& state) {
    state.runtime.display().setPointerVisible(false);
}

}  // namespace tx
