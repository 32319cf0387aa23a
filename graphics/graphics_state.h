// The graphics module's process-wide state: the open display, the buffer handles and the buffer
// the drawing commands draw into. It exists between the module's creation and destruction.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "console_state.h"
#include "display_devices.h"
#include "handle.h"
#include "handle_table.h"
#include "host_canvas.h"
#include "host_font.h"
#include "host_graphics.h"
#include "host_runtime.h"
#include "image.h"
#include "module_state.h"
#include "object_table.h"

namespace tx {

// The window a program draws into before (and after) a mode of its own.
inline constexpr int32_t kStartupWidth = 400;
inline constexpr int32_t kStartupHeight = 300;

struct GraphicsState {
    static constexpr const char* kModuleName = "graphics";
    explicit GraphicsState(HostRuntime& host) : runtime(host) {}

    HostRuntime& runtime;
    // Buffer handles outlive each display, so a handle from before a mode change names nothing
    // afterwards instead of a buffer of the new mode.
    HandleTable<HostCanvas> buffers{handle_kind::kBuffer};
    std::unique_ptr<HostGraphics> graphics;  // none only inside a failed mode change
    HostCanvas* currentBuffer = nullptr;
    uint32_t currentHandle = 0;

    int32_t selectedDriver = 0;             // 0-based
    std::vector<DisplayModeInfo> modeList;  // as the last CountGfxModes read it

    bool modeSetByProgram = false;

    // Images live until FreeImage or the next mode change; their frames are canvases of the
    // display. The options survive mode changes.
    ObjectTable<Image> images{handle_kind::kImage};
    ConsoleState console;
    bool autoMidHandle = false;
    bool tformFilter = true;

    // Fonts of LoadFont live until FreeFont or the next mode change. The current font is one of
    // them or the display's default font, which every mode change makes current again.
    ObjectTable<HostFont> fonts{handle_kind::kFont};
    HostFont* currentFont = nullptr;
};

// Null while the module does not exist. The commands are handed the state; buffer handles find
// their canvases through this.
GraphicsState* graphicsState();

// Display buffers and image frames: canvases named by buffer handles.
template <>
struct HandleKind<HostCanvas> {
    static constexpr HandleKindInfo info{"Buffer", handle_kind::kBuffer, "Buffer does not exist"};
    static HostCanvas* find(uint32_t handle) {
        GraphicsState* state = graphicsState();
        return state != nullptr ? state->buffers.find(handle) : nullptr;
    }
    // The buffer the drawing commands draw into, or null without a display.
    static HostCanvas* current() {
        GraphicsState* state = graphicsState();
        return state != nullptr ? state->currentBuffer : nullptr;
    }
};

// Fonts of LoadFont.
template <>
struct HandleKind<HostFont> {
    static constexpr HandleKindInfo info{"Font", handle_kind::kFont, "Font does not exist"};
    static HostFont* find(uint32_t handle) {
        GraphicsState* state = graphicsState();
        return state != nullptr ? state->fonts.find(handle) : nullptr;
    }
};

using FontHandle = Handle<HostFont>;

// Buffer parameters. BufferHandle: the canvas a handle names. BufferOrCurrent: 0 names the
// current buffer. FastBuffer: as BufferOrCurrent, but a handle that names nothing is never an
// error (the fast pixel commands leave checks to the program).
using BufferHandle = Handle<HostCanvas>;
using BufferOrCurrent = Handle<HostCanvas, HandleCheck::Debug, true>;
using FastBuffer = Handle<HostCanvas, HandleCheck::Lenient, true>;

// Creates the module's state on a runtime and opens the 400 x 300 start-up window; false (and
// no state) when that window cannot be opened. graphicsCreate does this on the running
// program's runtime; tests call it with their own.
bool openGraphicsModule(HostRuntime& runtime);
// Closes the display and drops the state.
void closeGraphicsModule();

// Makes the buffer the current one: origin (0, 0), viewport the whole buffer, the drawing and
// clear colours of the buffer that was current (they follow the program from buffer to buffer;
// a new display starts with white on black) and the current font.
void selectBuffer(GraphicsState& state, uint32_t handle, HostCanvas& buffer);
void selectFrontBuffer(GraphicsState& state);

// Drops every font of the program and closes the display; the current font and buffer are none
// until a display opens again.
void closeDisplay(GraphicsState& state);
// Makes the display's default font current (after a mode change).
void useDefaultFont(GraphicsState& state);

// Frees a canvas of the display; the current buffer falls back to the front buffer if it was
// that canvas.
void freeDisplayCanvas(GraphicsState& state, uint32_t handle);

// The current buffer, or null without a display.
HostCanvas* currentBuffer();

// Runs the pump; ends the program quietly when it must end.
void pumpOrEnd(GraphicsState& state);

}  // namespace tx
