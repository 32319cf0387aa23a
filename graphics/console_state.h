// The text console's state: where the next output starts in the front buffer, the scratch
// canvas of Input, and the clock and pause of Input's caret and key repeat (tests replace them,
// so that no test waits through a repeat delay).
#pragma once

#include <cstdint>
#include <memory>

#include "host_canvas.h"

namespace tx {

class HostRuntime;

struct ConsoleTiming {
    // Milliseconds of a steady clock.
    uint32_t (*now)() = &steadyMilliseconds;
    // Waits about `milliseconds` while pumping; false when the program must end.
    bool (*pause)(HostRuntime& runtime, int32_t milliseconds) = &pauseAndPump;

    static uint32_t steadyMilliseconds();
    static bool pauseAndPump(HostRuntime& runtime, int32_t milliseconds);
};

struct ConsoleState {
    // Both 0 when the module starts and after every buffer selection.
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    // Input's two text lines, kept while large enough; freed with the images at a mode change.
    std::unique_ptr<HostCanvas> inputCanvas;
    ConsoleTiming timing;
};

}  // namespace tx
