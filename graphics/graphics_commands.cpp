// Drivers, modes and the display: listing display devices and their modes, opening and closing
// modes, vertical blank, flip and the display's size.
#include "graphics_commands.h"

#include "basic_module.h"
#include "graphics_state.h"
#include "tx_error.h"

namespace tx {
namespace {

// 0-based driver index of a 1-based argument; out of range is an error under the debug flag,
// and -1 (no driver) without it. Below 1 is never subtracted from: the smallest int would wrap.
int32_t driverArgument(GraphicsState& state, int32_t driver) {
    if (debugEnabled() && (driver < 1 || driver > state.runtime.display().countGraphicsDrivers()))
        runtimeError("Illegal graphics driver index");
    return driver >= 1 ? driver - 1 : -1;
}

// The record of a 1-based index into the mode list, or null (an error under the debug flag).
const DisplayModeInfo* modeArgument(GraphicsState& state, int32_t mode) {
    if (mode >= 1 && mode <= static_cast<int32_t>(state.modeList.size()))
        return &state.modeList[mode - 1];
    if (debugEnabled()) runtimeError("Illegal graphics mode index");
    return nullptr;
}

// After a mode change: the program's drawing state starts over (white on black, the default
// font) on the new front buffer.
void startDrawingState(GraphicsState& state, bool setByProgram) {
    state.modeSetByProgram = setByProgram;
    selectFrontBuffer(state);
}

// Closes the open display and opens another; the program ends with "Unable to set graphics
// mode" when it cannot be had (and quietly when the pump says so first).
void changeMode(GraphicsState& state, int32_t width, int32_t height, int32_t depth, int32_t driver,
                uint32_t flags) {
    freeAllImages(state);
    closeDisplay(state);
    state.graphics = HostGraphics::open(state.runtime.display(), state.buffers, width, height,
                                        depth, driver, flags);
    useDefaultFont(state);
    pumpOrEnd(state);
    if (state.graphics == nullptr) runtimeError("Unable to set graphics mode");
}

}  // namespace

// ---- Drivers and modes

int32_t countGfxDrivers(GraphicsState& state) {
    return state.runtime.display().countGraphicsDrivers();
}

Str gfxDriverName(GraphicsState& state, int32_t driver) {
    return strNew(state.runtime.display().graphicsDriverName(driverArgument(state, driver)));
}

void setGfxDriver(GraphicsState& state, int32_t driver) {
    state.selectedDriver = driverArgument(state, driver);
    state.modeList.clear();
}

int32_t countGfxModes(GraphicsState& state) {
    state.modeList.clear();
    const int32_t count = state.runtime.display().countGraphicsModes(state.selectedDriver);
    for (int32_t i = 0; i < count; ++i)
        state.modeList.push_back(state.runtime.display().graphicsModeInfo(state.selectedDriver, i));
    return count;
}

int32_t gfxModeExists(GraphicsState& state, int32_t width, int32_t height, int32_t depth) {
    if (depth == 0) return 0;
    const int32_t count = state.runtime.display().countGraphicsModes(state.selectedDriver);
    for (int32_t i = 0; i < count; ++i) {
        if (state.runtime.display().graphicsModeInfo(state.selectedDriver, i) ==
            DisplayModeInfo{width, height, depth})
            return 1;
    }
    return 0;
}

int32_t gfxModeWidth(GraphicsState& state, int32_t mode) {
    const DisplayModeInfo* info = modeArgument(state, mode);
    return info != nullptr ? info->width : 0;
}

int32_t gfxModeHeight(GraphicsState& state, int32_t mode) {
    const DisplayModeInfo* info = modeArgument(state, mode);
    return info != nullptr ? info->height : 0;
}

int32_t gfxModeDepth(GraphicsState& state, int32_t mode) {
    const DisplayModeInfo* info = modeArgument(state, mode);
    return info != nullptr ? info->depth : 0;
}

int32_t availVidMem(GraphicsState& state) {
    return state.graphics != nullptr ? state.graphics->availVidMem() : 0;
}

int32_t totalVidMem(GraphicsState& state) {
    return state.graphics != nullptr ? state.graphics->totalVidMem() : 0;
}

// ---- Opening and closing modes

void graphics(GraphicsState& state, int32_t width, int32_t height, int32_t depth, int32_t mode) {
    uint32_t flags = 0;
    switch (mode) {
        case 0:
            flags = debugEnabled() ? Display::kWindowed : 0;
            break;
        case 1:
            flags = 0;
            break;
        case 2:
            flags = Display::kWindowed;
            break;
        case 3:
            flags = Display::kWindowed | Display::kScaled;
            break;
        default:
            runtimeError("Illegal Graphics mode");
    }
    changeMode(state, width, height, depth, state.selectedDriver, flags);
    startDrawingState(state, true);
}

void endGraphics(GraphicsState& state) {
    freeAllImages(state);
    if (!state.modeSetByProgram) return;
    changeMode(state, kStartupWidth, kStartupHeight, 0, 0, Display::kWindowed);
    startDrawingState(state, false);
}

// ---- Vertical blank and flip; after a failed mode change there is no display

int32_t scanLine(GraphicsState& state) {
    return state.graphics != nullptr ? state.graphics->scanLine() : 0;
}

void vWait(GraphicsState& state, int32_t) {
    if (state.graphics == nullptr) return;
    state.graphics->vwait();
    pumpOrEnd(state);
}

void flip(GraphicsState& state, int32_t vwait) {
    if (state.graphics == nullptr) return;
    state.graphics->flip(vwait != 0);
    pumpOrEnd(state);
}

// ---- Size of the display

int32_t graphicsWidth(GraphicsState& state) {
    return state.graphics != nullptr ? state.graphics->getWidth() : 0;
}

int32_t graphicsHeight(GraphicsState& state) {
    return state.graphics != nullptr ? state.graphics->getHeight() : 0;
}

int32_t graphicsDepth(GraphicsState& state) {
    return state.graphics != nullptr ? state.graphics->getDepth() : 0;
}

}  // namespace tx
