// SDL as a host runtime uses it: the subsystems it started and the one window, released
// together when both the video device and the event source are done with them.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "x11_window_watch.h"

namespace tx {

struct SdlSession {
    SdlSession() = default;
    SdlSession(const SdlSession&) = delete;
    SdlSession& operator=(const SdlSession&) = delete;
    ~SdlSession() {
        if (window != nullptr) destroyWatchedWindow(window);
        if (subsystems != 0) SDL_QuitSubSystem(subsystems);
    }

    uint32_t subsystems = 0;  // what this session started and quits
    SDL_Window* window = nullptr;
    bool headless = false;  // video runs on a driver without a display
};

}  // namespace tx
