// What the player gets from the window whatever the program: Alt+Enter between a window and
// desktop full screen, integer scaling and F12 screenshots (the error box is tested with a
// program, tests/guest). The program's mode and input are untouched by each. On SDL's offscreen
// driver, reading back what the window's renderer shows.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>

#include "display_test_frames.h"
#include "host_runtime.h"
#include "recording_debugger.h"
#include "sdl_video.h"
#include "test_files.h"

namespace tx {
namespace {

using test::readScreen;
using test::Screen;
using test::TestFrame;

// The input as the program's devices would receive it.
struct RecordingFeed final : InputFeed {
    void keyChanged(int32_t code, bool down) override { keys.emplace_back(code, down); }
    void mouseButtonChanged(int32_t, bool) override {}
    void mouseMoved(int32_t, int32_t, int32_t, int32_t) override {}
    void wheelTurned(int32_t) override {}
    std::vector<std::pair<int32_t, bool>> keys;
};

bool pushKey(SDL_Scancode key, bool down, uint16_t mod = KMOD_NONE) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = key;
    event.key.keysym.mod = mod;
    return SDL_PushEvent(&event) == 1;
}

// Left Alt, then Enter (or the keypad's) with Alt held, released in the opposite order.
void pressAltEnter(SDL_Scancode enter = SDL_SCANCODE_RETURN) {
    ASSERT_TRUE(pushKey(SDL_SCANCODE_LALT, true, KMOD_LALT));
    ASSERT_TRUE(pushKey(enter, true, KMOD_LALT));
    ASSERT_TRUE(pushKey(enter, false, KMOD_LALT));
    ASSERT_TRUE(pushKey(SDL_SCANCODE_LALT, false));
}

// 4 x 2 blocks of colours, so that a scaled picture can be checked block by block.
uint32_t block(int bx, int by) {
    return 0x102030u * static_cast<uint32_t>(bx + 1) + 0x400000u * static_cast<uint32_t>(by);
}
void fillBlocks(TestFrame& frame, int32_t width, int32_t height) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) frame.put(x, y, block(x * 4 / width, y * 2 / height));
}
// Each block shows in its place of r (away from its edges), and black lies around r.
void expectBlocksIn(const Screen& shown, PixelRect r) {
    for (int by = 0; by < 2; ++by) {
        for (int bx = 0; bx < 4; ++bx) {
            const int x = r.x + r.w * (2 * bx + 1) / 8, y = r.y + r.h * (2 * by + 1) / 4;
            EXPECT_EQ(shown.at(x, y), block(bx, by)) << x << "," << y;
        }
    }
    if (r.x > 0) {
        EXPECT_EQ(shown.at(r.x - 1, r.y + r.h / 2), 0u);
    }
    if (r.y > 0) {
        EXPECT_EQ(shown.at(r.x + r.w / 2, r.y - 1), 0u);
    }
    if (r.x + r.w < shown.width) {
        EXPECT_EQ(shown.at(r.x + r.w, r.y + r.h / 2), 0u);
    }
}

class PlayerComforts : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = HostRuntime::open("", &debugger, 0);
        ASSERT_NE(runtime, nullptr);
        runtime->setInputFeed(&feed);
        display().setScreenshotDirectory(dir.path());
    }
    void TearDown() override {
        if (runtime) runtime->setInputFeed(nullptr);
    }
    Display& display() { return runtime->display(); }
    SDL_Window* window() { return static_cast<SdlVideo&>(runtime->video()).window(); }
    Screen screen() { return readScreen(static_cast<SdlVideo&>(runtime->video()).renderer()); }
    bool fullscreen() {
        return (SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
               SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    std::pair<int, int> windowSize() {
        int w = 0, h = 0;
        SDL_GetWindowSize(window(), &w, &h);
        return {w, h};
    }

    test::TempDir dir;
    test::RecordingDebugger debugger;
    RecordingFeed feed;
    std::unique_ptr<HostRuntime> runtime;
};

// A fixed window covers the monitor and comes back; the picture is letterboxed (or scaled by a
// whole factor) meanwhile, and the program sees only Alt go down and up.
TEST_F(PlayerComforts, AltEnterTogglesAWindowWithoutTheProgramSeeingIt) {
    ASSERT_TRUE(display().openGraphics(320, 240, 0, 0, Display::kWindowed));
    TestFrame frame(320, 240, 32);
    fillBlocks(frame, 320, 240);
    display().showFrames(&frame, &frame);
    ASSERT_TRUE(runtime->idle());
    const Screen before = screen();

    pressAltEnter();
    ASSERT_TRUE(runtime->idle());
    EXPECT_TRUE(fullscreen());
    EXPECT_TRUE(display().showingFullscreen());
    EXPECT_EQ(display().graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_EQ(display().graphicsSize(), std::pair(320, 240));
    EXPECT_FALSE(display().inputCaptured()) << "a window's program reads the pointer as it is";
    const auto [w, h] = windowSize();
    Screen shown = screen();
    ASSERT_EQ(std::pair(shown.width, shown.height), std::pair(w, h));
    expectBlocksIn(shown, placePicture(Placement::letterbox, w, h, 320, 240));
    // The same picture by a whole factor; the mouse maps through the same placement.
    display().setIntegerScaling(true);
    const PixelRect whole = placePicture(Placement::integer, w, h, 320, 240);
    expectBlocksIn(screen(), whole);
    EXPECT_EQ(display().pictureOfWindow(whole.x + whole.w / 2, whole.y + whole.h - 1),
              std::pair(160, 239));
    display().setIntegerScaling(false);

    // Focus lost in a toggled window runs on, as windows do.
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.windowID = SDL_GetWindowID(window());
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    ASSERT_TRUE(SDL_PushEvent(&focus) == 1);
    pressAltEnter(SDL_SCANCODE_KP_ENTER);
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(runtime->pump().paused());
    EXPECT_FALSE(fullscreen());
    EXPECT_EQ(windowSize(), std::pair(320, 240));
    EXPECT_EQ(screen().pixels, before.pixels);

    const std::vector<std::pair<int32_t, bool>> altOnly = {
        {56, true}, {56, false}, {56, true}, {56, false}};
    EXPECT_EQ(feed.keys, altOnly);
    // Enter alone, and a repeat of an Enter held before Alt, stay the program's.
    feed.keys.clear();
    ASSERT_TRUE(pushKey(SDL_SCANCODE_RETURN, true));
    SDL_Event repeat{};
    repeat.type = SDL_KEYDOWN;
    repeat.key.repeat = 1;
    repeat.key.keysym.scancode = SDL_SCANCODE_RETURN;
    repeat.key.keysym.mod = KMOD_LALT;
    ASSERT_TRUE(SDL_PushEvent(&repeat) == 1);
    ASSERT_TRUE(pushKey(SDL_SCANCODE_RETURN, false));
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(fullscreen());
    EXPECT_EQ(feed.keys, (std::vector<std::pair<int32_t, bool>>{{28, true}, {28, false}}));
}

// A full-screen mode becomes a resizable window of the picture's size: the pointer is let go
// without the program's devices starting afresh, and losing the focus no longer suspends it.
TEST_F(PlayerComforts, AFullScreenModeToggledToAWindowLetsThePointerGo) {
    ASSERT_TRUE(display().openGraphics(640, 480, 32, 0, 0));
    TestFrame frame(640, 480, 32);
    fillBlocks(frame, 640, 480);
    display().showFrames(&frame, &frame);
    ASSERT_TRUE(runtime->idle());
    const uint32_t changes = display().inputCaptureChanges();
    ASSERT_TRUE(display().inputCaptured());

    pressAltEnter();
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(fullscreen());
    EXPECT_EQ(windowSize(), std::pair(640, 480));
    EXPECT_EQ(display().graphicsMode(), GraphicsMode::Fullscreen);
    EXPECT_FALSE(display().inputCaptured());
    EXPECT_FALSE(display().suspendsWhenAway());
    expectBlocksIn(screen(), {0, 0, 640, 480});
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE) << "a window shows the pointer";
    display().setPointerVisible(false);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "as the program sets it";

    pressAltEnter();
    ASSERT_TRUE(runtime->idle());
    EXPECT_TRUE(fullscreen());
    EXPECT_TRUE(display().inputCaptured());
    EXPECT_TRUE(display().suspendsWhenAway());
    display().setPointerVisible(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "covering the monitor hides it";
    EXPECT_EQ(display().inputCaptureChanges(), changes) << "the devices keep their state";
    display().closeGraphics();
    EXPECT_EQ(display().inputCaptureChanges(), changes + 1) << "the program's own change counts";
}

// F12 writes what is shown at once, or the frame being drawn as it is presented; the key never
// reaches the program.
TEST_F(PlayerComforts, F12WritesTheFrameAsPresentedAndIsTakenFromTheProgram) {
    ASSERT_TRUE(display().openGraphics(64, 32, 0, 0, Display::kWindowed));
    TestFrame frame(64, 32, 32);
    fillBlocks(frame, 64, 32);
    display().showFrames(&frame, &frame);
    ASSERT_TRUE(runtime->idle());

    ASSERT_TRUE(pushKey(SDL_SCANCODE_F12, true));
    ASSERT_TRUE(pushKey(SDL_SCANCODE_F12, false));
    ASSERT_TRUE(runtime->idle());
    const std::string first = display().lastScreenshot();
    EXPECT_TRUE(std::filesystem::is_regular_file(first)) << first;
    EXPECT_TRUE(feed.keys.empty());

    // Half way through the next frame: the shot waits for its flip.
    frame.stamp += 1;
    ASSERT_TRUE(pushKey(SDL_SCANCODE_F12, true));
    ASSERT_TRUE(pushKey(SDL_SCANCODE_F12, false));
    ASSERT_TRUE(runtime->idle());
    EXPECT_EQ(display().lastScreenshot(), first);
    display().flip(false);
    EXPECT_NE(display().lastScreenshot(), first);
    EXPECT_TRUE(std::filesystem::is_regular_file(display().lastScreenshot()));
}

TEST(PicturePlacement, IntegerScalingTakesTheLargestWholeFactorOrShrinksToFit) {
    const struct {
        int32_t outWidth, outHeight, width, height;
        PixelRect placed;
    } cases[] = {
        {1024, 768, 320, 240, {32, 24, 960, 720}}, {1920, 1080, 640, 480, {320, 60, 1280, 960}},
        {640, 480, 640, 480, {0, 0, 640, 480}},    {700, 2000, 320, 200, {30, 800, 640, 400}},
        {300, 200, 640, 480, {16, 0, 267, 200}},  // less than once: letterboxed
    };
    for (const auto& c : cases)
        EXPECT_EQ(placePicture(Placement::integer, c.outWidth, c.outHeight, c.width, c.height),
                  c.placed)
            << c.outWidth << "x" << c.outHeight;
}

}  // namespace
}  // namespace tx
