// Display devices and their modes, and opening and closing graphics modes on the runtime window:
// window geometry, the depth a mode gets, the pointer, mouse placement, and suspending a
// full-screen display.
#include <SDL.h>
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "display_devices.h"
#include "display_test_support.h"
#include "host_runtime.h"
#include "recording_debugger.h"

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

using test::TestFrame;

constexpr uint32_t kWindowed = Display::kWindowed;
constexpr uint32_t kScaled = Display::kScaled;

class DisplayModes : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = HostRuntime::open("", &debugger, 0);
        ASSERT_NE(runtime, nullptr);
        ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
    }

    Display& display() { return runtime->display(); }
    SDL_Window* window() { return test::sdlVideo(*runtime).window(); }
    SDL_Rect windowRect() {
        SDL_Rect r{};
        SDL_GetWindowPosition(window(), &r.x, &r.y);
        SDL_GetWindowSize(window(), &r.w, &r.h);
        return r;
    }
    bool windowFlag(uint32_t flag) { return (SDL_GetWindowFlags(window()) & flag) != 0; }
    std::tuple<int, int> mouseAfterMoveTo(int32_t x, int32_t y) {
        display().moveMouse(x, y);
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        return {mx, my};
    }

    test::RecordingDebugger debugger;
    std::unique_ptr<HostRuntime> runtime;
    SDL_Rect screen{};
};

TEST_F(DisplayModes, FixedWindowHasExactlyTheClientSizeCentredAndShowsItself) {
    ASSERT_TRUE(windowFlag(SDL_WINDOW_HIDDEN));
    const auto depth = display().openGraphics(300, 200, 16, 0, kWindowed);
    ASSERT_TRUE(depth);
    EXPECT_EQ(*depth, 32) << "windowed modes take the desktop's depth, whatever was asked";
    EXPECT_EQ(display().graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_TRUE(windowFlag(SDL_WINDOW_SHOWN));
    const SDL_Rect r = windowRect();
    EXPECT_EQ(
        std::tuple(r.x, r.y, r.w, r.h),
        std::tuple(screen.x + (screen.w - 300) / 2, screen.y + (screen.h - 200) / 2, 300, 200));

    EXPECT_FALSE(display().openGraphics(300, 200, 0, 0, kWindowed)) << "one mode at a time";
    display().closeGraphics();
    EXPECT_EQ(display().graphicsMode(), GraphicsMode::None);
    EXPECT_FALSE(display().graphicsOpen());
}

// (Whether the window can be resized is up to the video driver; the offscreen one keeps no such
// flag, so only the sizes are checked.)
TEST_F(DisplayModes, ScaledWindowKeepsTheSizeTheUserGaveIt) {
    ASSERT_TRUE(display().openGraphics(320, 240, 0, 0, kWindowed | kScaled));
    EXPECT_EQ(display().graphicsMode(), GraphicsMode::WindowedScaled);
    EXPECT_EQ(windowRect().w, 320) << "a window that never had a size starts with the picture's";
    SDL_SetWindowSize(window(), 500, 410);
    display().closeGraphics();

    ASSERT_TRUE(display().openGraphics(640, 480, 0, 0, kWindowed | kScaled));
    SDL_Rect r = windowRect();
    EXPECT_EQ(std::tuple(r.x, r.w, r.h), std::tuple(screen.x + (screen.w - 500) / 2, 500, 410));
    // Leaving full screen gives the window its place back.
    SDL_SetWindowPosition(window(), 40, 50);
    display().closeGraphics();
    ASSERT_TRUE(display().openGraphics(800, 600, 0, 0, 0));
    display().closeGraphics();
    EXPECT_FALSE(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP));
    r = windowRect();
    EXPECT_EQ(std::tuple(r.x, r.y, r.w, r.h), std::tuple(40, 50, 500, 410));

    ASSERT_TRUE(display().openGraphics(64, 48, 0, 0, kWindowed));
    EXPECT_EQ(windowRect().w, 64) << "fixed always sizes the client area";
}

TEST_F(DisplayModes, FullScreenDepthIsTheOneAskedForOrTheFirstThatExists) {
    auto depth = display().openGraphics(640, 480, 0, 0, 0);
    ASSERT_TRUE(depth);
    EXPECT_EQ(*depth, 16) << "every depth offers every capability: the lowest wins";
    EXPECT_EQ(display().graphicsMode(), GraphicsMode::Fullscreen);
    EXPECT_TRUE(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP));
    display().closeGraphics();

    for (int32_t asked : {16, 24, 32}) {
        depth = display().openGraphics(640, 480, asked, 0, 0);
        ASSERT_TRUE(depth) << asked;
        EXPECT_EQ(*depth, asked);
        display().closeGraphics();
    }
    EXPECT_FALSE(display().openGraphics(640, 480, 8, 0, 0)) << "no such depth";
    EXPECT_FALSE(display().openGraphics(641, 480, 16, 0, 0)) << "no such resolution";
    EXPECT_FALSE(display().openGraphics(640, 480, 16, display().countGraphicsDrivers(), 0));
    EXPECT_FALSE(display().openGraphics(640, 480, 16, -1, 0));
    EXPECT_FALSE(display().openGraphics(0, 100, 0, 0, kWindowed));
    EXPECT_FALSE(display().openGraphics(100, -1, 0, 0, kWindowed));
    EXPECT_FALSE(display().openGraphics(Display::kMaxSide + 1, 10, 0, 0, kWindowed));
    EXPECT_FALSE(display().graphicsOpen());
    EXPECT_FALSE(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP));
}

TEST_F(DisplayModes, ThePointerHidesInWindowsOnRequestAndAlwaysInFullScreen) {
    display().setPointerVisible(false);
    ASSERT_TRUE(display().openGraphics(100, 100, 0, 0, kWindowed));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    display().setPointerVisible(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    display().closeGraphics();

    ASSERT_TRUE(display().openGraphics(640, 480, 0, 0, 0));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    display().setPointerVisible(false);
    display().setPointerVisible(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "full screen keeps it hidden";
    display().closeGraphics();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(DisplayModes, MoveMousePlacesThePointerInThePicturesCoordinates) {
    ASSERT_TRUE(display().openGraphics(200, 100, 0, 0, kWindowed));
    EXPECT_EQ(mouseAfterMoveTo(150, 70), std::tuple(150, 70));
    display().closeGraphics();

    // Scaled to a 300 x 250 window: 300 * 150 / 200, 250 * 70 / 100; truncated.
    ASSERT_TRUE(display().openGraphics(200, 100, 0, 0, kWindowed | kScaled));
    SDL_SetWindowSize(window(), 300, 250);
    EXPECT_EQ(mouseAfterMoveTo(150, 70), std::tuple(225, 175));
    EXPECT_EQ(mouseAfterMoveTo(199, 99), std::tuple(298, 247));
    display().closeGraphics();

    ASSERT_TRUE(display().openGraphics(640, 480, 0, 0, 0));
    int w = 0, h = 0;
    SDL_GetWindowSize(window(), &w, &h);
    const auto [x, y] = mouseAfterMoveTo(320, 240);
    EXPECT_NEAR(x, w / 2, 1);
    EXPECT_NEAR(y, h / 2, 1);
}

// A full-screen display is suspended while the program is stopped or the window has lost the
// focus; it keeps its picture and shows it again on resuming. Windowed programs run on without
// the focus.
TEST_F(DisplayModes, FullScreenIsSuspendedByStopsAndFocusLossAndKeepsItsPicture) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(window());
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    ASSERT_TRUE(display().openGraphics(320, 240, 0, 0, kWindowed));
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(runtime->pump().paused()) << "windowed programs run on";
    display().closeGraphics();

    ASSERT_TRUE(display().openGraphics(640, 480, 32, 0, 0));
    TestFrame page(640, 480, 32);
    page.fillPattern();
    display().showFrames(&page, &page);
    ASSERT_TRUE(runtime->idle());
    const auto before = test::readScreen(test::sdlVideo(*runtime).renderer());
    for (int round = 1; round <= 2; ++round) {
        // The display is lost while away.
        test::paintOver(test::sdlVideo(*runtime).renderer(), 0, 0, 0);
        if (round == 1) {
            runtime->asyncStop();
            runtime->asyncRun();
        } else {
            event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
            ASSERT_EQ(SDL_PushEvent(&event), 1);
            event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
            ASSERT_EQ(SDL_PushEvent(&event), 1);
        }
        ASSERT_TRUE(runtime->idle());  // suspended by the first, resumed by the second
        EXPECT_FALSE(runtime->pump().paused());
        EXPECT_EQ(debugger.stops.load(), round);
        EXPECT_EQ(debugger.runs.load(), round);
        EXPECT_EQ(test::readScreen(test::sdlVideo(*runtime).renderer()).pixels, before.pixels)
            << round;
    }
}

TEST_F(DisplayModes, WithoutAModeNothingIsPresentedAndNoLineIsScanned) {
    display().flip(true);
    display().flip(false);
    EXPECT_EQ(display().scanLine(), 0);
    EXPECT_EQ(test::sdlVideo(*runtime).renderer(), nullptr);
    ASSERT_TRUE(display().openGraphics(64, 64, 0, 0, kWindowed));
    display().flip(false);  // no frames yet: nothing to read
    EXPECT_TRUE(runtime->idle());
}

}  // namespace
}  // namespace tx
