// Display devices and their modes, as the graphics commands list them: one device per SDL
// display, each offering every resolution SDL reports for it plus the classic 4:3 resolutions
// that fit its desktop, in depths 16, 24 and 32 (the software canvases present any depth).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tx {

struct DisplayModeInfo {
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    friend bool operator==(const DisplayModeInfo&, const DisplayModeInfo&) = default;
};

struct GraphicsDriverInfo {
    int displayIndex = 0;  // SDL's index of the display
    std::string name;
    // Ordered by width, then height, then depth.
    std::vector<DisplayModeInfo> modes;

    bool hasMode(int32_t width, int32_t height, int32_t depth) const;
};

// The displays SDL knows: only the primary one, or all of them. Needs SDL video.
std::vector<GraphicsDriverInfo> enumerateDisplays(bool allDisplays);

// The modes a display offers (see above); the desktop size is always among them.
std::vector<DisplayModeInfo> displayModes(int displayIndex);

// Bits per pixel of the desktop (16, 24 or 32): the depth of windowed modes.
int32_t desktopDepth(int displayIndex);

// Refresh rate in hertz; 60 when SDL does not know it.
int32_t refreshRate(int displayIndex);

}  // namespace tx
