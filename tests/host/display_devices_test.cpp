// Display devices and their modes: what the graphics commands list for each display.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "display_devices.h"
#include "host_runtime.h"

namespace tx {
namespace {

using Size = std::pair<int32_t, int32_t>;

std::vector<Size> resolutionsIn16And24And32(const std::vector<DisplayModeInfo>& modes) {
    std::vector<Size> sizes;
    EXPECT_EQ(modes.size() % 3, 0u);
    for (size_t i = 0; i + 2 < modes.size(); i += 3) {
        EXPECT_EQ(modes[i].depth, 16);
        EXPECT_EQ(modes[i + 1].depth, 24);
        EXPECT_EQ(modes[i + 2].depth, 32);
        for (size_t k = 1; k < 3; ++k) {
            EXPECT_EQ(modes[i + k].width, modes[i].width);
            EXPECT_EQ(modes[i + k].height, modes[i].height);
        }
        sizes.emplace_back(modes[i].width, modes[i].height);
    }
    return sizes;
}

// The desktop's size, the classic modes that fit it and the sizes the monitor reports, sorted
// and without duplicates; without a desktop size only the reported sizes.
TEST(DisplayModeList, ClassicModesThatFitAndReportedSizesSortedInThreeDepths) {
    MonitorInfo desktop;
    desktop.desktopWidth = 800;
    desktop.desktopHeight = 600;
    desktop.reportedSizes = {{1920, 1080}, {0, 0}, {640, 480}, {1024, 0}};
    EXPECT_EQ(resolutionsIn16And24And32(displayModes(desktop)),
              (std::vector<Size>{
                  {320, 240}, {400, 300}, {512, 384}, {640, 480}, {800, 600}, {1920, 1080}}));
    MonitorInfo reportedOnly;
    reportedOnly.reportedSizes = {{1024, 768}, {1024, 768}};
    EXPECT_EQ(resolutionsIn16And24And32(displayModes(reportedOnly)),
              (std::vector<Size>{{1024, 768}}));
}

TEST(DisplayDevices, CountingListsEveryDisplayAndOutOfRangeAnswersNothing) {
    auto runtime = HostRuntime::open("", nullptr, openNullBackend());
    ASSERT_NE(runtime, nullptr);
    Display& display = runtime->display();
    EXPECT_EQ(display.graphicsDriverName(0), "Null display") << "the primary one is known at once";
    EXPECT_EQ(display.countGraphicsDrivers(), 1);

    EXPECT_EQ(display.graphicsDriverName(1), "");
    EXPECT_EQ(display.graphicsDriverName(-1), "");
    EXPECT_EQ(display.countGraphicsModes(1), 0);
    EXPECT_EQ(display.graphicsModeInfo(1, 0), DisplayModeInfo{});
    EXPECT_EQ(display.graphicsModeInfo(0, -1), DisplayModeInfo{});
    EXPECT_EQ(display.graphicsModeInfo(0, display.countGraphicsModes(0)), DisplayModeInfo{});
    EXPECT_EQ(display.graphicsModeInfo(0, 0), (DisplayModeInfo{320, 240, 16}));
}

}  // namespace
}  // namespace tx
