// Display devices and their modes, as the graphics commands list them: one device per monitor,
// each offering every resolution the monitor reports plus the classic 4:3 resolutions that fit
// its desktop, in depths 16, 24 and 32 (the software canvases present any depth).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "video_device.h"

namespace tx {

struct DisplayModeInfo {
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    friend bool operator==(const DisplayModeInfo&, const DisplayModeInfo&) = default;
};

struct GraphicsDriverInfo {
    int32_t monitor = 0;  // the video device's index of the monitor
    std::string name;
    // Ordered by width, then height, then depth.
    std::vector<DisplayModeInfo> modes;

    bool hasMode(int32_t width, int32_t height, int32_t depth) const;
};

// The modes a monitor offers (see above); the desktop size is always among them.
std::vector<DisplayModeInfo> displayModes(const MonitorInfo& monitor);

// The devices of the video device's monitors: only the primary one, or all of them.
std::vector<GraphicsDriverInfo> enumerateDisplays(VideoDevice& video, bool allMonitors);

}  // namespace tx
