// Whether the process can reach a display: the environment's display variables, and SDL's
// drivers that draw without one.
#pragma once

#include <cstdlib>
#include <cstring>

namespace tx {

// DISPLAY or WAYLAND_DISPLAY names a display to connect to.
inline bool displayVariablesSet() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != 0;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// The offscreen and dummy video drivers run without any display.
inline bool isDriverWithoutDisplay(const char* driver) {
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

}  // namespace tx
