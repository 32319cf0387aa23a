// What the player gets from the window whatever the program: Alt+Enter between a window and
// desktop full screen, integer scaling and F12 screenshots (the error box is tested with a
// program, tests/guest). The program's mode and input are untouched by each. On SDL's offscreen
// driver, reading back what the window's renderer shows.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "display_test_frames.h"
#include "sdl_test_events.h"
#include "test_files.h"

namespace tx {
namespace {

using namespace test;

// The input as the program's devices would receive it.
struct RecordingFeed final : InputFeed {
    void keyChanged(int32_t code, bool down) override { keys.emplace_back(code, down); }
    void mouseButtonChanged(int32_t, bool) override {}
    void mouseMoved(int32_t, int32_t, int32_t, int32_t) override {}
    void wheelTurned(int32_t) override {}
    std::vector<std::pair<int32_t, bool>> keys;
};

// Left Alt, then Enter (or the keypad's) with Alt held, released in the opposite order.
void pressAltEnter(SDL_Scancode enter = SDL_SCANCODE_RETURN) {
    ASSERT_TRUE(pushSdlKey(SDL_SCANCODE_LALT, true, false, KMOD_LALT));
    ASSERT_TRUE(pushSdlKey(enter, true, false, KMOD_LALT));
    ASSERT_TRUE(pushSdlKey(enter, false, false, KMOD_LALT));
    ASSERT_TRUE(pushSdlKey(SDL_SCANCODE_LALT, false));
}

class PlayerComforts : public SdlDisplayTest {
protected:
    void SetUp() override {
        SdlDisplayTest::SetUp();
        runtime->setInputFeed(&feed);
        display().setScreenshotDirectory(dir.path());
    }
    void TearDown() override {
        if (runtime) runtime->setInputFeed(nullptr);
    }
    bool fullscreen() { return windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP); }

    TempDir dir;
    RecordingFeed feed;
};

// A fixed window covers the monitor and comes back; a full-screen mode becomes a window of the
// picture's size and comes back. Meanwhile the picture is letterboxed (or scaled by a whole
// factor), the pointer is let go and shown as the program sets it, losing the focus suspends
// nothing, and the program's devices do not start afresh: it sees only Alt go down and up.
TEST_F(PlayerComforts, AltEnterTogglesAModeWithoutTheProgramSeeingIt) {
    for (const uint32_t flags : {Display::kWindowed, 0u}) {
        const bool windowed = flags != 0;
        const auto [width, height] = windowed ? std::pair(320, 240) : std::pair(640, 480);
        showBlocks(width, height, flags);
        const Screen before = screen();
        const uint32_t changes = display().inputCaptureChanges();
        ASSERT_EQ(display().inputCaptured(), !windowed);

        pressAltEnter();
        ASSERT_TRUE(runtime->idle());
        EXPECT_EQ(fullscreen(), windowed);
        EXPECT_EQ(display().showingFullscreen(), windowed);
        EXPECT_EQ(display().graphicsMode(),
                  windowed ? GraphicsMode::WindowedFixed : GraphicsMode::Fullscreen);
        EXPECT_EQ(display().graphicsSize(), std::pair(width, height));
        EXPECT_FALSE(display().inputCaptured()) << "the program reads the pointer as it is";
        EXPECT_FALSE(display().suspendsWhenAway());
        const auto [w, h] = windowSize();
        if (!windowed) {
            EXPECT_EQ(std::pair(w, h), std::pair(640, 480));
            EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE) << "a window shows the pointer";
        }
        Screen shown = screen();
        ASSERT_EQ(std::pair(shown.width, shown.height), std::pair(w, h));
        expectBlocksIn(shown, placePicture(Placement::letterbox, w, h, width, height));
        display().setIntegerScaling(true);
        expectBlocksIn(screen(), placePicture(Placement::integer, w, h, width, height));
        display().setIntegerScaling(false);

        ASSERT_TRUE(pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
        pressAltEnter(SDL_SCANCODE_KP_ENTER);
        ASSERT_TRUE(runtime->idle());
        EXPECT_FALSE(runtime->pump().paused());
        EXPECT_EQ(fullscreen(), !windowed);
        EXPECT_EQ(display().inputCaptured(), !windowed);
        EXPECT_EQ(display().suspendsWhenAway(), !windowed);
        if (windowed) {
            EXPECT_EQ(windowSize(), std::pair(320, 240));
        } else {
            EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "covering the monitor hides it";
        }
        EXPECT_EQ(screen().pixels, before.pixels);
        EXPECT_EQ(display().inputCaptureChanges(), changes) << "the devices keep their state";
        display().closeGraphics();
        EXPECT_EQ(display().inputCaptureChanges(), changes + (windowed ? 0 : 1))
            << "the program's own change counts";
    }
    const std::pair<int32_t, bool> altDown{56, true}, altUp{56, false};
    EXPECT_EQ(feed.keys,
              (std::vector{altDown, altUp, altDown, altUp, altDown, altUp, altDown, altUp}));
    // Enter alone, and a repeat of an Enter held before Alt, stay the program's.
    feed.keys.clear();
    ASSERT_TRUE(pushSdlKey(SDL_SCANCODE_RETURN, true));
    ASSERT_TRUE(pushSdlKey(SDL_SCANCODE_RETURN, true, true, KMOD_LALT));
    ASSERT_TRUE(pushSdlKey(SDL_SCANCODE_RETURN, false));
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(fullscreen());
    EXPECT_EQ(feed.keys, (std::vector<std::pair<int32_t, bool>>{{28, true}, {28, false}}));
}

// F12 writes what is shown at once, or the frame being drawn as it is presented; the key never
// reaches the program.
TEST_F(PlayerComforts, F12WritesTheFrameAsPresentedAndIsTakenFromTheProgram) {
    showBlocks(64, 32, Display::kWindowed);

    ASSERT_TRUE(pushSdlKey(SDL_SCANCODE_F12, true));
    ASSERT_TRUE(pushSdlKey(SDL_SCANCODE_F12, false));
    ASSERT_TRUE(runtime->idle());
    const std::string first = display().lastScreenshot();
    EXPECT_TRUE(std::filesystem::is_regular_file(first)) << first;
    EXPECT_TRUE(feed.keys.empty());

    // Half way through the next frame: the shot waits for its flip.
    blocks->stamp += 1;
    ASSERT_TRUE(pushSdlKey(SDL_SCANCODE_F12, true));
    ASSERT_TRUE(pushSdlKey(SDL_SCANCODE_F12, false));
    ASSERT_TRUE(runtime->idle());
    EXPECT_EQ(display().lastScreenshot(), first);
    display().flip(false);
    EXPECT_NE(display().lastScreenshot(), first);
    EXPECT_TRUE(std::filesystem::is_regular_file(display().lastScreenshot()));
}

}  // namespace
}  // namespace tx
