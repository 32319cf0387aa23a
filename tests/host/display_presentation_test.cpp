// Presentation: what reaches the window in each mode, when the runtime presents and when it
// does not, and the conversion of 16-bit and 24-bit pictures.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>

#include "display_test_support.h"
#include "frame_convert.h"
#include "host_runtime.h"
#include "presenter.h"

namespace tx {
namespace {

using test::TestFrame;

constexpr uint32_t kWindowed = Display::kWindowed;

class Presentation : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = HostRuntime::open("", nullptr, 0);
        ASSERT_NE(runtime, nullptr);
    }
    test::Screen screen() { return test::readScreen(test::sdlVideo(*runtime).renderer()); }
    SDL_Window* window() { return test::sdlVideo(*runtime).window(); }

    std::unique_ptr<HostRuntime> runtime;
};

// A scaled window stretches the picture over whatever size the user gives it; full screen keeps
// the aspect ratio, centred with black around it. The picture is 4 x 2 blocks of colours.
TEST_F(Presentation, ScaledWindowsStretchAndFullScreenLetterboxes) {
    const struct {
        uint32_t flags;
        int32_t width, height;
        Placement placement;
    } cases[] = {
        {kWindowed | Display::kScaled, 100, 50, Placement::stretch},
        {0, 640, 480, Placement::letterbox},
    };
    auto block = [](int bx, int by) { return 0x102030u * (bx + 1) + 0x400000u * by; };
    for (const auto& c : cases) {
        ASSERT_TRUE(runtime->display().openGraphics(c.width, c.height, 32, 0, c.flags));
        TestFrame frame(c.width, c.height, 32);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                frame.put(x, y, block(x * 4 / c.width, y * 2 / c.height));
        runtime->display().showFrames(&frame, &frame);
        if (c.flags != 0) SDL_SetWindowSize(window(), 300, 200);  // the user drags the window
        ASSERT_TRUE(runtime->idle());

        const auto shown = screen();
        int w = 0, h = 0;
        SDL_GetWindowSize(window(), &w, &h);
        ASSERT_EQ(std::pair(shown.width, shown.height), std::pair(w, h));
        const PixelRect r = placePicture(c.placement, w, h, c.width, c.height);
        // Each block, two pixels in from its edges and in its middle.
        for (int by = 0; by < 2; ++by) {
            for (int bx = 0; bx < 4; ++bx) {
                const int x0 = r.x + r.w * bx / 4, x1 = r.x + r.w * (bx + 1) / 4 - 1;
                const int y0 = r.y + r.h * by / 2, y1 = r.y + r.h * (by + 1) / 2 - 1;
                for (int y : {y0 + 2, (y0 + y1) / 2, y1 - 2})
                    for (int x : {x0 + 2, (x0 + x1) / 2, x1 - 2})
                        EXPECT_EQ(shown.at(x, y), block(bx, by)) << x << "," << y;
            }
        }
        // The corners reach the placed rectangle's; beside and above it all is black.
        EXPECT_EQ(shown.at(r.x, r.y), block(0, 0));
        EXPECT_EQ(shown.at(r.x + r.w - 1, r.y + r.h - 1), block(3, 1));
        if (r.x > 0) {
            EXPECT_EQ(shown.at(r.x - 1, h / 2), 0u);
        }
        if (r.y > 0) {
            EXPECT_EQ(shown.at(w / 2, r.y - 1), 0u);
        }
        runtime->display().closeGraphics();
    }
}

TEST(PicturePlacement, LetterboxCentresTheLargestFitStretchFillsActualSizeStays) {
    EXPECT_EQ(placePicture(Placement::letterbox, 1024, 768, 320, 200),
              (PixelRect{0, 64, 1024, 640}));
    EXPECT_EQ(placePicture(Placement::letterbox, 1920, 1080, 640, 480),
              (PixelRect{240, 0, 1440, 1080}));
    EXPECT_EQ(placePicture(Placement::stretch, 333, 222, 640, 480), (PixelRect{0, 0, 333, 222}));
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
        const auto shown = screen();
        ASSERT_EQ(std::pair(shown.width, shown.height), std::pair(16, 8));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(shown.at(x, y), TestFrame::pattern(x, y) & 0xFFFFFF);
    }
    const uint32_t kFirst = TestFrame::pattern(3, 3);  // where shown() looks
    uint32_t shown() { return screen().at(3, 3); }
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
    event.window.windowID = SDL_GetWindowID(window());
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    ASSERT_TRUE(runtime->idle());
    EXPECT_EQ(shown(), kFirst);
}

// 16-bit and 24-bit pictures are widened on their way to the window (the conversion's own
// rules are checked below).
TEST_F(Presentation, SixteenAndTwentyFourBitPicturesShowTheirColours) {
    ASSERT_TRUE(runtime->display().openGraphics(2, 1, 0, 0, kWindowed));
    const struct {
        int32_t depth;
        uint32_t raw[2], shown[2];
    } cases[] = {{16, {0xF800, 0x8410}, {0xFF0000, 0x848284}},
                 {24, {0x123456, 0x0000FF}, {0x123456, 0x0000FF}}};
    for (const auto& c : cases) {
        TestFrame frame(2, 1, c.depth);
        frame.put(0, 0, c.raw[0]);
        frame.put(1, 0, c.raw[1]);
        runtime->display().showFrames(&frame, &frame);
        ASSERT_TRUE(runtime->idle());
        const auto shown = screen();
        EXPECT_EQ(std::pair(shown.at(0, 0), shown.at(1, 0)), std::pair(c.shown[0], c.shown[1]))
            << c.depth;
    }
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
