#include "display_devices.h"

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

}  // namespace

bool GraphicsDriverInfo::hasMode(int32_t width, int32_t height, int32_t depth) const {
    return std::find(modes.begin(), modes.end(), DisplayModeInfo{width, height, depth}) !=
           modes.end();
}

std::vector<DisplayModeInfo> displayModes(const MonitorInfo& monitor) {
    std::vector<Resolution> sizes;
    if (monitor.desktopWidth > 0 && monitor.desktopHeight > 0) {
        sizes.push_back({monitor.desktopWidth, monitor.desktopHeight});
        for (const Resolution& classic : kClassicModes)
            if (classic.width <= monitor.desktopWidth && classic.height <= monitor.desktopHeight)
                sizes.push_back(classic);
    }
    for (const auto& [width, height] : monitor.reportedSizes)
        if (width > 0 && height > 0) sizes.push_back({width, height});
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());

    std::vector<DisplayModeInfo> modes;
    modes.reserve(sizes.size() * std::size(kDepths));
    for (const Resolution& size : sizes)
        for (int32_t depth : kDepths) modes.push_back({size.width, size.height, depth});
    return modes;
}

std::vector<GraphicsDriverInfo> enumerateDisplays(VideoDevice& video, bool allMonitors) {
    const int32_t count = std::min(video.monitorCount(), allMonitors ? INT32_MAX : 1);
    std::vector<GraphicsDriverInfo> drivers;
    for (int32_t index = 0; index < count; ++index) {
        const MonitorInfo monitor = video.monitor(index, true);
        GraphicsDriverInfo driver;
        driver.monitor = index;
        driver.name = !monitor.name.empty() ? monitor.name : "Display " + std::to_string(index);
        driver.modes = displayModes(monitor);
        drivers.push_back(std::move(driver));
    }
    return drivers;
}

}  // namespace tx
