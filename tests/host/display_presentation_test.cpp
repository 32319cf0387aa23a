// Presentation: what reaches the window in each mode, when the runtime presents and when it
// does not, and the conversion of 16-bit and 24-bit pictures.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>
#include <utility>

#include "display_test_support.h"
#include "frame_convert.h"
#include "host_runtime.h"
#include "presenter.h"

namespace tx {
namespace {

using test::readScreen;
using test::TestFrame;

constexpr uint32_t kWindowed = Display::kWindowed;
constexpr uint32_t kScaled = Display::kScaled;

class Presentation : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = HostRuntime::open("", nullptr, 0);
        ASSERT_NE(runtime, nullptr);
    }

    std::unique_ptr<HostRuntime> runtime;
};

TEST_F(Presentation, ScaledWindowStretchesThePictureOverAnyClientSize) {
    // Eight blocks of 25 x 25, each its own colour, in a 100 x 50 picture.
    ASSERT_TRUE(runtime->display().openGraphics(100, 50, 0, 0, kWindowed | kScaled));
    TestFrame frame(100, 50, 32);
    auto blockColour = [](int bx, int by) { return 0x102030u * (bx + 1) + 0x400000u * by; };
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) frame.put(x, y, blockColour(x / 25, y / 25));
    runtime->display().showFrames(&frame, &frame);

    // The user drags the window to another size and shape.
    SDL_SetWindowSize(test::sdlVideo(*runtime).window(), 300, 200);
    ASSERT_TRUE(runtime->idle());
    const auto screen = readScreen(test::sdlVideo(*runtime).renderer());
    ASSERT_EQ(screen.width, 300);
    ASSERT_EQ(screen.height, 200);
    // Each block covers 75 x 100 of the client area; look well inside each.
    for (int by = 0; by < 2; ++by) {
        for (int bx = 0; bx < 4; ++bx) {
            for (int dy : {2, 50, 97})
                for (int dx : {2, 37, 72})
                    EXPECT_EQ(screen.at(bx * 75 + dx, by * 100 + dy), blockColour(bx, by))
                        << "block " << bx << "," << by;
        }
    }
    // The corners reach the edges: nothing of the client area is left black.
    EXPECT_EQ(screen.at(299, 199), blockColour(3, 1));
    EXPECT_EQ(screen.at(0, 199), blockColour(0, 1));
}

TEST_F(Presentation, FullScreenKeepsTheAspectRatio) {
    ASSERT_TRUE(runtime->display().openGraphics(640, 480, 32, 0, 0));
    TestFrame frame(640, 480, 32);
    frame.fill(0x00FF00);
    for (int y = 0; y < 480; ++y) frame.put(0, y, 0xFF0000);  // the left column red
    runtime->display().showFrames(&frame, &frame);
    ASSERT_TRUE(runtime->idle());

    const auto screen = readScreen(test::sdlVideo(*runtime).renderer());
    int w = 0, h = 0;
    SDL_GetWindowSize(test::sdlVideo(*runtime).window(), &w, &h);
    ASSERT_EQ(screen.width, w);
    const PixelRect placed = placePicture(Placement::letterbox, w, h, 640, 480);
    EXPECT_EQ(screen.at(placed.x + placed.w / 2, placed.y + placed.h / 2), 0x00FF00u);
    EXPECT_EQ(screen.at(placed.x, placed.y + placed.h / 2), 0xFF0000u);
    if (placed.x > 0) {
        EXPECT_EQ(screen.at(placed.x - 1, h / 2), 0u) << "black beside it";
    }
    if (placed.y > 0) {
        EXPECT_EQ(screen.at(w / 2, placed.y - 1), 0u) << "black above it";
    }
}

TEST(PicturePlacement, LetterboxCentresTheLargestFitStretchFillsActualSizeStays) {
    struct Case {
        Placement placement;
        int clientW, clientH, pictureW, pictureH;
        std::tuple<int, int, int, int> expected;  // x, y, w, h
    };
    const Case cases[] = {
        {Placement::letterbox, 1024, 768, 320, 200, {0, 64, 1024, 640}},
        {Placement::letterbox, 1920, 1080, 640, 480, {240, 0, 1440, 1080}},
        {Placement::stretch, 333, 222, 640, 480, {0, 0, 333, 222}},
    };
    for (const Case& c : cases) {
        const PixelRect r = placePicture(c.placement, c.clientW, c.clientH, c.pictureW, c.pictureH);
        EXPECT_EQ(std::tuple(r.x, r.y, r.w, r.h), c.expected);
    }
    const PixelRect actual = placePicture(Placement::actualSize, 333, 222, 640, 480);
    EXPECT_EQ(std::pair(actual.w, actual.h), std::pair(640, 480));
}

// A fixed window: front and back buffer are one picture with two stamps, shown one to one.
class WindowedFlip : public Presentation {
protected:
    void SetUp() override {
        Presentation::SetUp();
        ASSERT_TRUE(runtime->display().openGraphics(16, 8, 0, 0, kWindowed));
        front.fillPattern();
        runtime->display().showFrames(&front, &back);
        ASSERT_TRUE(runtime->idle());  // the first idle paints the new mode
        const auto screen = readScreen(test::sdlVideo(*runtime).renderer());
        ASSERT_EQ(std::pair(screen.width, screen.height), std::pair(16, 8));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(screen.at(x, y), TestFrame::pattern(x, y) & 0xFFFFFF);
    }
    const uint32_t kFirst = TestFrame::pattern(3, 3);  // where shown() looks
    uint32_t shown() { return readScreen(test::sdlVideo(*runtime).renderer()).at(3, 3); }
    // The two share the pixels of `front`, like the canvases of a windowed mode.
    struct BackView final : FrameSource {
        explicit BackView(const TestFrame& f) : of(f) {}
        FramePixels pixels() const override { return of.pixels(); }
        uint32_t presentStamp() const override { return stamp; }
        const TestFrame& of;
        uint32_t stamp = 0;
    };

    TestFrame front{16, 8, 32};
    BackView back{front};
};

TEST_F(WindowedFlip, PresentsOnlyWhenAStampChanged) {
    front.fill(0xFF0000);  // pixels change, stamps do not
    runtime->display().flip(false);
    EXPECT_EQ(shown(), kFirst) << "no change reported: nothing copied";

    back.stamp = 5;  // five drawings into the back buffer
    runtime->display().flip(false);
    EXPECT_EQ(shown(), 0xFF0000u);

    // Five drawings into the front: the counters meet at the same value, the latest still shows.
    front.fill(0x00FF00);
    front.stamp = 5;
    runtime->display().flip(false);
    EXPECT_EQ(shown(), 0x00FF00u);
}

TEST_F(WindowedFlip, DrawingIntoTheFrontShowsWithoutAFlipButTheBackWaitsForIt) {
    using namespace std::chrono_literals;
    front.fill(0xABCDEF);
    back.stamp += 1;
    std::this_thread::sleep_for(110ms);
    ASSERT_TRUE(runtime->idle());
    EXPECT_EQ(shown(), kFirst) << "a frame half drawn in the back buffer stays hidden";

    front.stamp += 1;
    std::this_thread::sleep_for(110ms);
    ASSERT_TRUE(runtime->idle());
    EXPECT_EQ(shown(), 0xABCDEFu);
}

TEST_F(WindowedFlip, AnExposedWindowIsPaintedAgain) {
    test::paintOver(test::sdlVideo(*runtime).renderer(), 9, 9, 9);
    ASSERT_EQ(shown(), 0x090909u);
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_EXPOSED;
    event.window.windowID = SDL_GetWindowID(test::sdlVideo(*runtime).window());
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    ASSERT_TRUE(runtime->idle());
    EXPECT_EQ(shown(), kFirst);
}

TEST_F(Presentation, SixteenAndTwentyFourBitPicturesShowTheirColours) {
    ASSERT_TRUE(runtime->display().openGraphics(4, 1, 0, 0, kWindowed));
    TestFrame wide(4, 1, 16);
    wide.put(0, 0, 0xFFFF);
    wide.put(1, 0, 0xF800);
    wide.put(2, 0, 0x07E0);
    wide.put(3, 0, 0x8410);  // 16, 32, 16 of 31, 63, 31
    runtime->display().showFrames(&wide, &wide);
    ASSERT_TRUE(runtime->idle());
    auto screen = readScreen(test::sdlVideo(*runtime).renderer());
    EXPECT_EQ(screen.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(screen.at(1, 0), 0xFF0000u);
    EXPECT_EQ(screen.at(2, 0), 0x00FF00u);
    EXPECT_EQ(screen.at(3, 0), 0x848284u);

    TestFrame packed(4, 1, 24);
    packed.put(0, 0, 0x123456);  // bytes 56 34 12: blue 0x56, green 0x34, red 0x12
    packed.put(1, 0, 0xFF0000);
    packed.put(3, 0, 0x0000FF);
    runtime->display().showFrames(&packed, &packed);
    ASSERT_TRUE(runtime->idle());
    screen = readScreen(test::sdlVideo(*runtime).renderer());
    EXPECT_EQ(screen.at(0, 0), 0x123456u);
    EXPECT_EQ(screen.at(1, 0), 0xFF0000u);
    EXPECT_EQ(screen.at(2, 0), 0u);
    EXPECT_EQ(screen.at(3, 0), 0x0000FFu);
}

TEST(FrameConversion, RowsWidenEveryChannelExactly) {
    struct Case {
        uint16_t in;
        uint32_t out;
    };
    const Case cases[] = {
        {0x0000, 0x000000}, {0xFFFF, 0xFFFFFF}, {0x001F, 0x0000FF}, {0x07E0, 0x00FF00},
        {0xF800, 0xFF0000}, {0x0821, 0x080408},  // the lowest step of each channel
        {0x7BEF, 0x7B7D7B},                      // 15, 31, 15: just under half
    };
    // 19 pixels: whole groups of eight and a tail.
    uint16_t in[19];
    uint32_t out[19] = {};
    for (int i = 0; i < 19; ++i) in[i] = cases[i % 7].in;
    convertRow565(out, reinterpret_cast<const uint8_t*>(in), 19);
    for (int i = 0; i < 19; ++i) EXPECT_EQ(out[i], cases[i % 7].out) << i;

    const uint8_t in24[] = {1, 2, 3, 0xFF, 0, 0x80, 9, 8, 7};
    uint32_t out24[3] = {};
    convertRowBgr24(out24, in24, 3);
    EXPECT_EQ(out24[0], 0x030201u);
    EXPECT_EQ(out24[1], 0x8000FFu);
    EXPECT_EQ(out24[2], 0x070809u);
}

}  // namespace
}  // namespace tx
