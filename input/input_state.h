// The input module's state: the input driver and the last mouse position the speed commands
// measured from.
#pragma once

#include <cstdint>

#include "host_input.h"

namespace tx {

struct InputState {
    static constexpr const char* kModuleName = "input";
    explicit InputState(HostRuntime& runtime, HostInput::Now now = &HostInput::Clock::now)
        : input(runtime, now) {}

    HostInput input;
    int32_t lastMouseX = 0;
    int32_t lastMouseY = 0;
    int32_t lastMouseZ = 0;
};

}  // namespace tx
