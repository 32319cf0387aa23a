// Display devices and their modes: what the graphics commands list for each display.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <utility>

#include "host_runtime.h"

namespace tx {
namespace {

class DisplayDevices : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = HostRuntime::open("", nullptr, 0);
        ASSERT_NE(runtime, nullptr);
        ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    }

    std::vector<DisplayModeInfo> modesOf(int32_t driver) {
        std::vector<DisplayModeInfo> modes;
        const int32_t count = runtime->countGraphicsModes(driver);
        for (int32_t i = 0; i < count; ++i) modes.push_back(runtime->graphicsModeInfo(driver, i));
        return modes;
    }

    std::unique_ptr<HostRuntime> runtime;
    SDL_DisplayMode desktop{};
};

TEST_F(DisplayDevices, EveryResolutionComesInDepths16And24And32InOrder) {
    const auto modes = modesOf(0);
    ASSERT_FALSE(modes.empty());
    ASSERT_EQ(modes.size() % 3, 0u);
    for (size_t i = 0; i < modes.size(); i += 3) {
        EXPECT_EQ(modes[i].depth, 16);
        EXPECT_EQ(modes[i + 1].depth, 24);
        EXPECT_EQ(modes[i + 2].depth, 32);
        for (size_t k = 1; k < 3; ++k) {
            EXPECT_EQ(modes[i + k].width, modes[i].width);
            EXPECT_EQ(modes[i + k].height, modes[i].height);
        }
        EXPECT_GT(modes[i].width, 0);
        EXPECT_GT(modes[i].height, 0);
        if (i > 0) {
            EXPECT_LT(std::tie(modes[i - 1].width, modes[i - 1].height),
                      std::tie(modes[i].width, modes[i].height))
                << "sorted, each resolution once";
        }
    }
}

TEST_F(DisplayDevices, TheDesktopAndTheClassicModesThatFitIt) {
    std::set<std::pair<int32_t, int32_t>> sizes;
    for (const auto& mode : modesOf(0)) sizes.insert({mode.width, mode.height});
    EXPECT_TRUE(sizes.count({desktop.w, desktop.h}));
    const std::pair<int32_t, int32_t> classic[] = {
        {320, 240},  {400, 300},  {512, 384},   {640, 480},   {800, 600},   {1024, 768},
        {1152, 864}, {1280, 960}, {1400, 1050}, {1600, 1200}, {1920, 1440}, {2048, 1536}};
    for (const auto& [w, h] : classic) {
        if (w <= desktop.w && h <= desktop.h) {
            EXPECT_TRUE(sizes.count({w, h})) << w << "x" << h;
        }
    }
    // Nothing larger than the desktop unless SDL itself reports it.
    std::set<std::pair<int32_t, int32_t>> reported;
    for (int i = 0; i < SDL_GetNumDisplayModes(0); ++i) {
        SDL_DisplayMode mode{};
        SDL_GetDisplayMode(0, i, &mode);
        reported.insert({mode.w, mode.h});
    }
    for (const auto& size : sizes) {
        if (size.first > desktop.w || size.second > desktop.h) {
            EXPECT_TRUE(reported.count(size)) << size.first << "x" << size.second;
        }
    }
}

TEST_F(DisplayDevices, CountingListsEveryDisplayAndOutOfRangeAnswersNothing) {
    EXPECT_FALSE(runtime->graphicsDriverName(0).empty()) << "the primary display is known at once";
    EXPECT_EQ(runtime->countGraphicsDrivers(), SDL_GetNumVideoDisplays());
    EXPECT_FALSE(runtime->graphicsDriverName(0).empty());

    const int32_t past = runtime->countGraphicsDrivers();
    EXPECT_EQ(runtime->graphicsDriverName(past), "");
    EXPECT_EQ(runtime->graphicsDriverName(-1), "");
    EXPECT_EQ(runtime->countGraphicsModes(past), 0);
    EXPECT_EQ(runtime->graphicsModeInfo(past, 0), DisplayModeInfo{});
    EXPECT_EQ(runtime->graphicsModeInfo(0, -1), DisplayModeInfo{});
    EXPECT_EQ(runtime->graphicsModeInfo(0, runtime->countGraphicsModes(0)), DisplayModeInfo{});
}

}  // namespace
}  // namespace tx
