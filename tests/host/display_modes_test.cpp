// Opening and closing graphics modes on the runtime window: window geometry, the depth a mode
// gets, the pointer, mouse placement, and suspending a full-screen display.
#include <SDL.h>
#include <gtest/gtest.h>

#include "display_test_support.h"
#include "host_runtime.h"
#include "recording_debugger.h"

namespace tx {
namespace {

using test::readScreen;
using test::TestFrame;

constexpr uint32_t kWindowed = HostRuntime::kGraphicsWindowed;
constexpr uint32_t kScaled = HostRuntime::kGraphicsScaled;
constexpr uint32_t k3D = HostRuntime::kGraphics3D;

class DisplayModes : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = HostRuntime::open("", &debugger, 0);
        ASSERT_NE(runtime, nullptr);
        ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
    }

    SDL_Rect windowRect() const {
        SDL_Rect r{};
        SDL_GetWindowPosition(runtime->window(), &r.x, &r.y);
        SDL_GetWindowSize(runtime->window(), &r.w, &r.h);
        return r;
    }
    bool windowFlag(uint32_t flag) const {
        return (SDL_GetWindowFlags(runtime->window()) & flag) != 0;
    }

    test::RecordingDebugger debugger;
    std::unique_ptr<HostRuntime> runtime;
    SDL_Rect screen{};
};

TEST_F(DisplayModes, FixedWindowHasExactlyTheClientSizeCentredAndShowsItself) {
    ASSERT_TRUE(windowFlag(SDL_WINDOW_HIDDEN));
    const auto depth = runtime->openGraphics(300, 200, 16, 0, kWindowed);
    ASSERT_TRUE(depth);
    EXPECT_EQ(*depth, 32) << "windowed modes take the desktop's depth, whatever was asked";
    EXPECT_EQ(runtime->graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_TRUE(windowFlag(SDL_WINDOW_SHOWN));
    const SDL_Rect r = windowRect();
    EXPECT_EQ(r.w, 300);
    EXPECT_EQ(r.h, 200);
    EXPECT_EQ(r.x, screen.x + (screen.w - 300) / 2);
    EXPECT_EQ(r.y, screen.y + (screen.h - 200) / 2);

    EXPECT_FALSE(runtime->openGraphics(300, 200, 0, 0, kWindowed)) << "one mode at a time";
    runtime->closeGraphics();
    EXPECT_EQ(runtime->graphicsMode(), GraphicsMode::None);
    EXPECT_FALSE(runtime->graphicsOpen());
}

// (Whether the window can be resized is up to the video driver; the offscreen one keeps no such
// flag, so only the sizes are checked.)
TEST_F(DisplayModes, ScaledWindowKeepsTheSizeTheUserGaveIt) {
    ASSERT_TRUE(runtime->openGraphics(320, 240, 0, 0, kWindowed | kScaled));
    EXPECT_EQ(runtime->graphicsMode(), GraphicsMode::WindowedScaled);
    EXPECT_EQ(windowRect().w, 320) << "a window that never had a size starts with the picture's";
    SDL_SetWindowSize(runtime->window(), 500, 410);
    runtime->closeGraphics();

    ASSERT_TRUE(runtime->openGraphics(640, 480, 0, 0, kWindowed | kScaled));
    const SDL_Rect r = windowRect();
    EXPECT_EQ(r.w, 500);
    EXPECT_EQ(r.h, 410);
    EXPECT_EQ(r.x, screen.x + (screen.w - 500) / 2);
    runtime->closeGraphics();

    ASSERT_TRUE(runtime->openGraphics(64, 48, 0, 0, kWindowed));
    EXPECT_EQ(windowRect().w, 64) << "fixed always sizes the client area";
}

TEST_F(DisplayModes, FullScreenDepthIsTheOneAskedForOrTheFirstThatExists) {
    auto depth = runtime->openGraphics(640, 480, 0, 0, 0);
    ASSERT_TRUE(depth);
    EXPECT_EQ(*depth, 16) << "every depth offers every capability: the lowest wins";
    EXPECT_EQ(runtime->graphicsMode(), GraphicsMode::Fullscreen);
    EXPECT_TRUE(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP));
    runtime->closeGraphics();

    for (int32_t asked : {16, 24, 32}) {
        depth = runtime->openGraphics(640, 480, asked, 0, 0);
        ASSERT_TRUE(depth) << asked;
        EXPECT_EQ(*depth, asked);
        runtime->closeGraphics();
    }
    EXPECT_TRUE(runtime->openGraphics(640, 480, 32, 0, k3D)) << "3D needs no depth choice";
    runtime->closeGraphics();

    EXPECT_FALSE(runtime->openGraphics(640, 480, 0, 0, k3D)) << "depth 0 with 3D fails";
    EXPECT_FALSE(runtime->openGraphics(640, 480, 8, 0, 0)) << "no such depth";
    EXPECT_FALSE(runtime->openGraphics(641, 480, 16, 0, 0)) << "no such resolution";
    EXPECT_FALSE(runtime->openGraphics(640, 480, 16, runtime->countGraphicsDrivers(), 0));
    EXPECT_FALSE(runtime->openGraphics(640, 480, 16, -1, 0));
    EXPECT_FALSE(runtime->graphicsOpen());
    EXPECT_FALSE(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP));
}

TEST_F(DisplayModes, ImpossibleSizesOpenNothing) {
    EXPECT_FALSE(runtime->openGraphics(0, 100, 0, 0, kWindowed));
    EXPECT_FALSE(runtime->openGraphics(100, -1, 0, 0, kWindowed));
    EXPECT_FALSE(runtime->openGraphics(HostRuntime::kMaxGraphicsSide + 1, 10, 0, 0, kWindowed));
    EXPECT_FALSE(runtime->graphicsOpen());
    EXPECT_TRUE(windowFlag(SDL_WINDOW_HIDDEN));
}

TEST_F(DisplayModes, LeavingFullScreenGivesTheWindowItsPlaceBack) {
    ASSERT_TRUE(runtime->openGraphics(200, 100, 0, 0, kWindowed | kScaled));
    SDL_SetWindowSize(runtime->window(), 260, 130);
    SDL_SetWindowPosition(runtime->window(), 40, 50);
    runtime->closeGraphics();
    ASSERT_TRUE(runtime->openGraphics(800, 600, 0, 0, 0));
    runtime->closeGraphics();
    EXPECT_FALSE(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP));
    const SDL_Rect r = windowRect();
    EXPECT_EQ(r.w, 260);
    EXPECT_EQ(r.h, 130);
    EXPECT_EQ(r.x, 40);
    EXPECT_EQ(r.y, 50);
}

TEST_F(DisplayModes, ThePointerHidesInWindowsOnRequestAndAlwaysInFullScreen) {
    runtime->setPointerVisible(false);
    ASSERT_TRUE(runtime->openGraphics(100, 100, 0, 0, kWindowed));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    runtime->setPointerVisible(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    runtime->closeGraphics();

    ASSERT_TRUE(runtime->openGraphics(640, 480, 0, 0, 0));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    runtime->setPointerVisible(false);
    runtime->setPointerVisible(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "full screen keeps it hidden";
    runtime->closeGraphics();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(DisplayModes, MoveMousePlacesThePointerInThePicturesCoordinates) {
    int x = 0, y = 0;
    ASSERT_TRUE(runtime->openGraphics(200, 100, 0, 0, kWindowed));
    runtime->moveMouse(150, 70);
    SDL_GetMouseState(&x, &y);
    EXPECT_EQ(x, 150);
    EXPECT_EQ(y, 70);
    runtime->closeGraphics();

    ASSERT_TRUE(runtime->openGraphics(200, 100, 0, 0, kWindowed | kScaled));
    SDL_SetWindowSize(runtime->window(), 300, 250);
    runtime->moveMouse(150, 70);
    SDL_GetMouseState(&x, &y);
    EXPECT_EQ(x, 225);  // 300 * 150 / 200
    EXPECT_EQ(y, 175);  // 250 * 70 / 100
    runtime->moveMouse(199, 99);
    SDL_GetMouseState(&x, &y);
    EXPECT_EQ(x, 298);  // 300 * 199 / 200, truncated
    EXPECT_EQ(y, 247);
    runtime->closeGraphics();

    ASSERT_TRUE(runtime->openGraphics(640, 480, 0, 0, 0));
    int w = 0, h = 0;
    SDL_GetWindowSize(runtime->window(), &w, &h);
    runtime->moveMouse(320, 240);
    SDL_GetMouseState(&x, &y);
    EXPECT_NEAR(x, w / 2, 1);
    EXPECT_NEAR(y, h / 2, 1);
}

TEST_F(DisplayModes, SuspendedFullScreenKeepsItsPictureAndShowsItOnResume) {
    ASSERT_TRUE(runtime->openGraphics(640, 480, 32, 0, 0));
    TestFrame page(640, 480, 32);
    page.fillPattern();
    runtime->showFrames(&page, &page);
    ASSERT_TRUE(runtime->idle());
    const auto before = readScreen(runtime->renderer());

    test::paintOver(runtime->renderer(), 0, 0, 0);  // the display was lost while away
    runtime->asyncStop();
    runtime->asyncRun();
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(runtime->paused());
    EXPECT_EQ(debugger.stops.load(), 1);
    EXPECT_EQ(debugger.runs.load(), 1);
    const auto after = readScreen(runtime->renderer());
    EXPECT_EQ(after.pixels, before.pixels);
}

TEST_F(DisplayModes, FocusLossSuspendsFullScreenOnly) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(runtime->window());

    ASSERT_TRUE(runtime->openGraphics(320, 240, 0, 0, kWindowed));
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(runtime->paused()) << "windowed programs run on";
    runtime->closeGraphics();

    ASSERT_TRUE(runtime->openGraphics(640, 480, 0, 0, 0));
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    ASSERT_TRUE(runtime->idle());  // suspended by the first, resumed by the second
    EXPECT_FALSE(runtime->paused());
    EXPECT_EQ(debugger.stops.load(), 1);
    EXPECT_EQ(debugger.runs.load(), 1);
}

TEST_F(DisplayModes, WithoutAModeNothingIsPresentedAndNoLineIsScanned) {
    runtime->flip(true);
    runtime->flip(false);
    EXPECT_EQ(runtime->scanLine(), 0);
    EXPECT_EQ(runtime->renderer(), nullptr);
    ASSERT_TRUE(runtime->openGraphics(64, 64, 0, 0, kWindowed));
    runtime->flip(false);  // no frames yet: nothing to read
    EXPECT_TRUE(runtime->idle());
}

}  // namespace
}  // namespace tx
