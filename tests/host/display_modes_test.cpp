// Opening and closing graphics modes on the runtime window: window geometry, the depth a mode
// gets, the pointer, mouse placement, and suspending a full-screen display.
#include <SDL.h>
#include <gtest/gtest.h>

#include <tuple>

#include "display_test_support.h"
#include "host_runtime.h"
#include "recording_debugger.h"

namespace tx {
namespace {

using test::readScreen;
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

    SDL_Rect windowRect() const {
        SDL_Rect r{};
        SDL_GetWindowPosition(test::sdlVideo(*runtime).window(), &r.x, &r.y);
        SDL_GetWindowSize(test::sdlVideo(*runtime).window(), &r.w, &r.h);
        return r;
    }
    bool windowFlag(uint32_t flag) const {
        return (SDL_GetWindowFlags(test::sdlVideo(*runtime).window()) & flag) != 0;
    }

    test::RecordingDebugger debugger;
    std::unique_ptr<HostRuntime> runtime;
    SDL_Rect screen{};
};

TEST_F(DisplayModes, FixedWindowHasExactlyTheClientSizeCentredAndShowsItself) {
    ASSERT_TRUE(windowFlag(SDL_WINDOW_HIDDEN));
    const auto depth = runtime->display().openGraphics(300, 200, 16, 0, kWindowed);
    ASSERT_TRUE(depth);
    EXPECT_EQ(*depth, 32) << "windowed modes take the desktop's depth, whatever was asked";
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_TRUE(windowFlag(SDL_WINDOW_SHOWN));
    const SDL_Rect r = windowRect();
    EXPECT_EQ(r.w, 300);
    EXPECT_EQ(r.h, 200);
    EXPECT_EQ(r.x, screen.x + (screen.w - 300) / 2);
    EXPECT_EQ(r.y, screen.y + (screen.h - 200) / 2);

    EXPECT_FALSE(runtime->display().openGraphics(300, 200, 0, 0, kWindowed))
        << "one mode at a time";
    runtime->display().closeGraphics();
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::None);
    EXPECT_FALSE(runtime->display().graphicsOpen());
}

// (Whether the window can be resized is up to the video driver; the offscreen one keeps no such
// flag, so only the sizes are checked.)
TEST_F(DisplayModes, ScaledWindowKeepsTheSizeTheUserGaveIt) {
    ASSERT_TRUE(runtime->display().openGraphics(320, 240, 0, 0, kWindowed | kScaled));
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedScaled);
    EXPECT_EQ(windowRect().w, 320) << "a window that never had a size starts with the picture's";
    SDL_SetWindowSize(test::sdlVideo(*runtime).window(), 500, 410);
    runtime->display().closeGraphics();

    ASSERT_TRUE(runtime->display().openGraphics(640, 480, 0, 0, kWindowed | kScaled));
    SDL_Rect r = windowRect();
    EXPECT_EQ(r.w, 500);
    EXPECT_EQ(r.h, 410);
    EXPECT_EQ(r.x, screen.x + (screen.w - 500) / 2);
    // Leaving full screen gives the window its place back.
    SDL_SetWindowPosition(test::sdlVideo(*runtime).window(), 40, 50);
    runtime->display().closeGraphics();
    ASSERT_TRUE(runtime->display().openGraphics(800, 600, 0, 0, 0));
    runtime->display().closeGraphics();
    EXPECT_FALSE(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP));
    r = windowRect();
    EXPECT_EQ(std::tuple(r.x, r.y, r.w, r.h), std::tuple(40, 50, 500, 410));

    ASSERT_TRUE(runtime->display().openGraphics(64, 48, 0, 0, kWindowed));
    EXPECT_EQ(windowRect().w, 64) << "fixed always sizes the client area";
}

TEST_F(DisplayModes, FullScreenDepthIsTheOneAskedForOrTheFirstThatExists) {
    auto depth = runtime->display().openGraphics(640, 480, 0, 0, 0);
    ASSERT_TRUE(depth);
    EXPECT_EQ(*depth, 16) << "every depth offers every capability: the lowest wins";
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::Fullscreen);
    EXPECT_TRUE(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP));
    runtime->display().closeGraphics();

    for (int32_t asked : {16, 24, 32}) {
        depth = runtime->display().openGraphics(640, 480, asked, 0, 0);
        ASSERT_TRUE(depth) << asked;
        EXPECT_EQ(*depth, asked);
        runtime->display().closeGraphics();
    }
    EXPECT_FALSE(runtime->display().openGraphics(640, 480, 8, 0, 0)) << "no such depth";
    EXPECT_FALSE(runtime->display().openGraphics(641, 480, 16, 0, 0)) << "no such resolution";
    EXPECT_FALSE(runtime->display().openGraphics(640, 480, 16,
                                                 runtime->display().countGraphicsDrivers(), 0));
    EXPECT_FALSE(runtime->display().openGraphics(640, 480, 16, -1, 0));
    EXPECT_FALSE(runtime->display().openGraphics(0, 100, 0, 0, kWindowed));
    EXPECT_FALSE(runtime->display().openGraphics(100, -1, 0, 0, kWindowed));
    EXPECT_FALSE(runtime->display().openGraphics(Display::kMaxSide + 1, 10, 0, 0, kWindowed));
    EXPECT_FALSE(runtime->display().graphicsOpen());
    EXPECT_FALSE(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP));
}

TEST_F(DisplayModes, ThePointerHidesInWindowsOnRequestAndAlwaysInFullScreen) {
    runtime->display().setPointerVisible(false);
    ASSERT_TRUE(runtime->display().openGraphics(100, 100, 0, 0, kWindowed));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    runtime->display().setPointerVisible(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    runtime->display().closeGraphics();

    ASSERT_TRUE(runtime->display().openGraphics(640, 480, 0, 0, 0));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    runtime->display().setPointerVisible(false);
    runtime->display().setPointerVisible(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "full screen keeps it hidden";
    runtime->display().closeGraphics();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(DisplayModes, MoveMousePlacesThePointerInThePicturesCoordinates) {
    int x = 0, y = 0;
    ASSERT_TRUE(runtime->display().openGraphics(200, 100, 0, 0, kWindowed));
    runtime->display().moveMouse(150, 70);
    SDL_GetMouseState(&x, &y);
    EXPECT_EQ(x, 150);
    EXPECT_EQ(y, 70);
    runtime->display().closeGraphics();

    ASSERT_TRUE(runtime->display().openGraphics(200, 100, 0, 0, kWindowed | kScaled));
    SDL_SetWindowSize(test::sdlVideo(*runtime).window(), 300, 250);
    runtime->display().moveMouse(150, 70);
    SDL_GetMouseState(&x, &y);
    EXPECT_EQ(x, 225);  // 300 * 150 / 200
    EXPECT_EQ(y, 175);  // 250 * 70 / 100
    runtime->display().moveMouse(199, 99);
    SDL_GetMouseState(&x, &y);
    EXPECT_EQ(x, 298);  // 300 * 199 / 200, truncated
    EXPECT_EQ(y, 247);
    runtime->display().closeGraphics();

    ASSERT_TRUE(runtime->display().openGraphics(640, 480, 0, 0, 0));
    int w = 0, h = 0;
    SDL_GetWindowSize(test::sdlVideo(*runtime).window(), &w, &h);
    runtime->display().moveMouse(320, 240);
    SDL_GetMouseState(&x, &y);
    EXPECT_NEAR(x, w / 2, 1);
    EXPECT_NEAR(y, h / 2, 1);
}

TEST_F(DisplayModes, SuspendedFullScreenKeepsItsPictureAndShowsItOnResume) {
    ASSERT_TRUE(runtime->display().openGraphics(640, 480, 32, 0, 0));
    TestFrame page(640, 480, 32);
    page.fillPattern();
    runtime->display().showFrames(&page, &page);
    ASSERT_TRUE(runtime->idle());
    const auto before = readScreen(test::sdlVideo(*runtime).renderer());

    test::paintOver(test::sdlVideo(*runtime).renderer(), 0, 0,
                    0);  // the display was lost while away
    runtime->asyncStop();
    runtime->asyncRun();
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(runtime->pump().paused());
    EXPECT_EQ(debugger.stops.load(), 1);
    EXPECT_EQ(debugger.runs.load(), 1);
    const auto after = readScreen(test::sdlVideo(*runtime).renderer());
    EXPECT_EQ(after.pixels, before.pixels);
}

TEST_F(DisplayModes, FocusLossSuspendsFullScreenOnly) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(test::sdlVideo(*runtime).window());

    ASSERT_TRUE(runtime->display().openGraphics(320, 240, 0, 0, kWindowed));
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(runtime->pump().paused()) << "windowed programs run on";
    runtime->display().closeGraphics();

    ASSERT_TRUE(runtime->display().openGraphics(640, 480, 0, 0, 0));
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    ASSERT_TRUE(runtime->idle());  // suspended by the first, resumed by the second
    EXPECT_FALSE(runtime->pump().paused());
    EXPECT_EQ(debugger.stops.load(), 1);
    EXPECT_EQ(debugger.runs.load(), 1);
}

TEST_F(DisplayModes, WithoutAModeNothingIsPresentedAndNoLineIsScanned) {
    runtime->display().flip(true);
    runtime->display().flip(false);
    EXPECT_EQ(runtime->display().scanLine(), 0);
    EXPECT_EQ(test::sdlVideo(*runtime).renderer(), nullptr);
    ASSERT_TRUE(runtime->display().openGraphics(64, 64, 0, 0, kWindowed));
    runtime->display().flip(false);  // no frames yet: nothing to read
    EXPECT_TRUE(runtime->idle());
}

}  // namespace
}  // namespace tx
