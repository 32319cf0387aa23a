// The state of the graphics mode open on the runtime window (private to the host runtime).
#pragma once

#include <SDL.h>

#include <chrono>
#include <cstdint>

#include "display_frame.h"
#include "host_runtime.h"
#include "presenter.h"
#include "vertical_blank.h"

namespace tx {

struct HostRuntime::OpenDisplay {
    GraphicsMode mode = GraphicsMode::None;
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    int displayIndex = 0;
    VerticalBlank blank;

    // The pictures to show, once the graphics side has made them.
    const FrameSource* front = nullptr;
    const FrameSource* back = nullptr;
    // Their stamps at the last presentation. Front and back are tracked apart: in windowed
    // modes they share pixels but count their changes separately, so one stamp alone could
    // come round to the other's value and hide a change.
    bool presented = false;
    uint32_t frontStamp = 0;
    uint32_t backStamp = 0;
    std::chrono::steady_clock::time_point nextRepaintCheck{};

    // Full screen: the window's placement to give back when the mode closes.
    SDL_Rect savedRect{};
    bool savedResizable = false;

    Placement placement() const {
        switch (mode) {
            case GraphicsMode::WindowedFixed:
                return Placement::actualSize;
            case GraphicsMode::WindowedScaled:
                return Placement::stretch;
            default:
                return Placement::letterbox;
        }
    }
    bool changedSincePresented() const {
        return !presented || front->presentStamp() != frontStamp ||
               back->presentStamp() != backStamp;
    }
};

}  // namespace tx
