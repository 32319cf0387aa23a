#include "display_devices.h"

#include <SDL.h>

#include <algorithm>
#include <iterator>

namespace tx {
namespace {

struct Resolution {
    int32_t width;
    int32_t height;
    friend auto operator<=>(const Resolution&, const Resolution&) = default;
};

// The 4:3 resolutions programs of the era ask for.
constexpr Resolution kClassicModes[] = {
    {320, 240},  {400, 300},  {512, 384},   {640, 480},   {800, 600},   {1024, 768},
    {1152, 864}, {1280, 960}, {1400, 1050}, {1600, 1200}, {1920, 1440}, {2048, 1536},
};

constexpr int32_t kDepths[] = {16, 24, 32};
constexpr int32_t kDefaultRefreshRate = 60;

}  // namespace

bool GraphicsDriverInfo::hasMode(int32_t width, int32_t height, int32_t depth) const {
    return std::find(modes.begin(), modes.end(), DisplayModeInfo{width, height, depth}) !=
           modes.end();
}

std::vector<DisplayModeInfo> displayModes(int displayIndex) {
    std::vector<Resolution> sizes;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(displayIndex, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
        sizes.push_back({desktop.w, desktop.h});
        for (const Resolution& classic : kClassicModes)
            if (classic.width <= desktop.w && classic.height <= desktop.h) sizes.push_back(classic);
    }
    const int reported = SDL_GetNumDisplayModes(displayIndex);
    for (int i = 0; i < reported; ++i) {
        SDL_DisplayMode mode{};
        // Drivers without real modes report a placeholder of size 0.
        if (SDL_GetDisplayMode(displayIndex, i, &mode) == 0 && mode.w > 0 && mode.h > 0)
            sizes.push_back({mode.w, mode.h});
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());

    std::vector<DisplayModeInfo> modes;
    modes.reserve(sizes.size() * std::size(kDepths));
    for (const Resolution& size : sizes)
        for (int32_t depth : kDepths) modes.push_back({size.width, size.height, depth});
    return modes;
}

std::vector<GraphicsDriverInfo> enumerateDisplays(bool allDisplays) {
    const int count = std::min(SDL_GetNumVideoDisplays(), allDisplays ? INT32_MAX : 1);
    std::vector<GraphicsDriverInfo> drivers;
    for (int index = 0; index < count; ++index) {
        GraphicsDriverInfo driver;
        driver.displayIndex = index;
        const char* name = SDL_GetDisplayName(index);
        driver.name = name != nullptr && *name != '\0' ? name : "Display " + std::to_string(index);
        driver.modes = displayModes(index);
        drivers.push_back(std::move(driver));
    }
    return drivers;
}

int32_t desktopDepth(int displayIndex) {
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(displayIndex, &desktop) != 0) return 32;
    switch (SDL_BYTESPERPIXEL(desktop.format)) {
        case 2:
            return 16;
        case 3:
            return 24;
        default:
            return 32;
    }
}

int32_t refreshRate(int displayIndex) {
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(displayIndex, &desktop) != 0 || desktop.refresh_rate <= 0)
        return kDefaultRefreshRate;
    return desktop.refresh_rate;
}

}  // namespace tx
