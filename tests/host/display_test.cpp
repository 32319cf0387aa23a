// The SDL display: its devices and modes, opening and closing graphics modes on the runtime
// window (geometry, depth, the pointer, mouse placement, suspending full screen), and
// presentation: what reaches the window in each mode, when the runtime presents and when it does
// not, and the conversion of 16-bit and 24-bit pictures. The tests draw into frames in host
// memory and read back what the window's renderer shows.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "display_devices.h"
#include "display_frame.h"
#include "display_test_frames.h"
#include "presenter.h"

namespace tx {
namespace {

using namespace test;

constexpr uint32_t kWindowed = Display::kWindowed;
constexpr uint32_t kScaled = Display::kScaled;

using DisplayTest = SdlDisplayTest;

using Size = std::pair<int32_t, int32_t>;

// Each size in 16, 24 and 32 bits, in that order.
std::vector<DisplayModeInfo> inThreeDepths(const std::vector<Size>& sizes) {
    std::vector<DisplayModeInfo> modes;
    for (const auto& [width, height] : sizes)
        for (const int32_t depth : {16, 24, 32}) modes.push_back({width, height, depth});
    return modes;
}

// The desktop's size, the classic modes that fit it and the sizes the monitor reports, sorted
// and without duplicates; without a desktop size only the reported sizes.
TEST(DisplayModeList, ClassicModesThatFitAndReportedSizesSortedInThreeDepths) {
    MonitorInfo desktop;
    desktop.desktopWidth = 800;
    desktop.desktopHeight = 600;
    desktop.reportedSizes = {{1920, 1080}, {0, 0}, {640, 480}, {1024, 0}};
    EXPECT_EQ(
        displayModes(desktop),
        inThreeDepths({{320, 240}, {400, 300}, {512, 384}, {640, 480}, {800, 600}, {1920, 1080}}));
    MonitorInfo reportedOnly;
    reportedOnly.reportedSizes = {{1024, 768}, {1024, 768}};
    EXPECT_EQ(displayModes(reportedOnly), inThreeDepths({{1024, 768}}));
}

// Before any mode nothing is presented and no line is scanned. Windows take the desktop's depth,
// whatever was asked, and show themselves centred: a fixed one has exactly the client size, a
// scaled one the picture's until the user gives it another, which it keeps and stretches the
// picture over. Full screen takes the depth asked for or the first that exists (every depth
// offers every capability: the lowest wins) and letterboxes the picture. The pointer hides in
// windows on request and always in full screen; MoveMouse places it in the picture's
// coordinates, scaled with the window.
TEST_F(DisplayTest, EachModePlacesItsWindowPictureAndPointer) {
    SDL_Rect desktop{};  // where windows are placed
    ASSERT_EQ(SDL_GetDisplayBounds(0, &desktop), 0);
    const auto windowRect = [&] {
        int x = 0, y = 0;
        SDL_GetWindowPosition(window(), &x, &y);
        return std::tuple_cat(std::tuple(x, y), windowSize());
    };
    ASSERT_TRUE(windowFlag(SDL_WINDOW_HIDDEN));
    display().flip(true);
    display().flip(false);
    EXPECT_EQ(display().scanLine(), 0);
    EXPECT_EQ(renderer(), nullptr);
    display().setPointerVisible(false);
    const struct {
        int32_t width, height, depth;
        uint32_t flags;
        int32_t given;
        Size window;    // the client size it opens with, centred (0 x 0: covering the desktop)
        Size userSize;  // then given by the user (0 x 0: none)
        Size moveTo;    // MoveMouse there puts the pointer at `pointer` (0, 0: the middle)
        Size pointer;
    } modes[] = {
        {200, 100, 16, kWindowed, 32, {200, 100}, {0, 0}, {150, 70}, {150, 70}},
        // 300 * 150 / 200, 250 * 70 / 100; then 300 * 639 / 640, 250 * 479 / 480, truncated
        {200, 100, 0, kWindowed | kScaled, 32, {200, 100}, {300, 250}, {150, 70}, {225, 175}},
        {640, 480, 0, kWindowed | kScaled, 32, {300, 250}, {0, 0}, {639, 479}, {299, 249}},
        {640, 480, 0, 0, 16, {0, 0}, {0, 0}, {320, 240}, {0, 0}},
        {640, 480, 24, 0, 24, {0, 0}, {0, 0}, {320, 240}, {0, 0}},
        {320, 240, 32, 0, 32, {0, 0}, {0, 0}, {160, 120}, {0, 0}},
        {64, 48, 0, kWindowed, 32, {64, 48}, {0, 0}, {10, 20}, {10, 20}},
    };
    for (const auto& m : modes) {
        SCOPED_TRACE(::testing::Message() << m.width << "x" << m.height << " flags " << m.flags);
        ASSERT_EQ(display().openGraphics(m.width, m.height, m.depth, 0, m.flags), m.given);
        const bool full = m.flags == 0;
        EXPECT_EQ(display().graphicsMode(), full                ? GraphicsMode::Fullscreen
                                            : m.flags & kScaled ? GraphicsMode::WindowedScaled
                                                                : GraphicsMode::WindowedFixed);
        EXPECT_TRUE(windowFlag(SDL_WINDOW_SHOWN));
        EXPECT_EQ(windowFlag(SDL_WINDOW_FULLSCREEN_DESKTOP), full);
        if (!full) {
            const auto [w, h] = m.window;
            EXPECT_EQ(windowRect(), std::tuple(desktop.x + (desktop.w - w) / 2,
                                               desktop.y + (desktop.h - h) / 2, w, h));
        }
        display().flip(false);  // no frames yet: nothing to read
        if (m.userSize.first != 0) SDL_SetWindowSize(window(), m.userSize.first, m.userSize.second);
        TestFrame frame(m.width, m.height, 32);
        frame.fillBlocks();
        display().showFrames(&frame, &frame);
        ASSERT_TRUE(runtime->idle());
        const Screen shown = screen();
        const auto [w, h] = windowSize();
        ASSERT_EQ(std::pair(shown.width, shown.height), std::pair(w, h));
        expectBlocksIn(shown, placePicture(full ? Placement::letterbox : Placement::stretch, w, h,
                                           m.width, m.height));

        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
        display().setPointerVisible(true);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), full ? SDL_DISABLE : SDL_ENABLE);
        display().moveMouse(m.moveTo.first, m.moveTo.second);
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        EXPECT_NEAR(x, m.pointer.first != 0 ? m.pointer.first : w / 2, full ? 1 : 0);
        EXPECT_NEAR(y, m.pointer.second != 0 ? m.pointer.second : h / 2, full ? 1 : 0);

        EXPECT_FALSE(display().openGraphics(m.width, m.height, 0, 0, m.flags)) << "one at a time";
        display().closeGraphics();
        EXPECT_EQ(display().graphicsMode(), GraphicsMode::None);
        EXPECT_FALSE(display().graphicsOpen());
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
        display().setPointerVisible(false);
    }
    // Leaving full screen gives the window its place back.
    ASSERT_TRUE(display().openGraphics(64, 48, 0, 0, kWindowed));
    SDL_SetWindowPosition(window(), 40, 50);
    display().closeGraphics();
    ASSERT_TRUE(display().openGraphics(800, 600, 0, 0, 0));
    display().closeGraphics();
    EXPECT_FALSE(windowFlag(SDL_WINDOW_FULLSCREEN));
    EXPECT_EQ(windowRect(), std::tuple(40, 50, 64, 48));

    EXPECT_FALSE(display().openGraphics(640, 480, 8, 0, 0)) << "no such depth";
    EXPECT_FALSE(display().openGraphics(640, 480, 16, display().countGraphicsDrivers(), 0));
    EXPECT_FALSE(display().openGraphics(640, 480, 16, -1, 0));
    EXPECT_FALSE(display().openGraphics(0, 100, 0, 0, kWindowed));
    EXPECT_FALSE(display().openGraphics(100, -1, 0, 0, kWindowed));
    EXPECT_FALSE(display().openGraphics(Display::kMaxSide + 1, 10, 0, 0, kWindowed));
    EXPECT_FALSE(display().graphicsOpen());
}

// A full-screen display is suspended while the program is stopped or the window has lost the
// focus; it keeps its picture and shows it again on resuming. Windowed programs run on without
// the focus.
TEST_F(DisplayTest, FullScreenIsSuspendedByStopsAndFocusLossAndKeepsItsPicture) {
    ASSERT_TRUE(display().openGraphics(320, 240, 0, 0, kWindowed));
    ASSERT_TRUE(pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    ASSERT_TRUE(runtime->idle());
    EXPECT_FALSE(runtime->pump().paused()) << "windowed programs run on";
    display().closeGraphics();

    showBlocks(640, 480, 0);
    const auto before = screen();
    for (int round = 1; round <= 2; ++round) {
        // The display is lost while away.
        paintOver(renderer(), 0, 0, 0);
        if (round == 1) {
            runtime->asyncStop();
            runtime->asyncRun();
        } else {
            ASSERT_TRUE(pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
            ASSERT_TRUE(pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
        }
        ASSERT_TRUE(runtime->idle());  // suspended by the first, resumed by the second
        EXPECT_FALSE(runtime->pump().paused());
        EXPECT_EQ(debugger.stops, round);
        EXPECT_EQ(debugger.runs, round);
        EXPECT_EQ(screen().pixels, before.pixels) << round;
    }
}

TEST(PicturePlacement, EachPlacementFitsThePictureAsItPromises) {
    const struct {
        Placement placement;
        int32_t outWidth, outHeight, width, height;
        PixelRect placed;
    } cases[] = {
        {Placement::letterbox, 1024, 768, 320, 200, {0, 64, 1024, 640}},
        {Placement::letterbox, 1920, 1080, 640, 480, {240, 0, 1440, 1080}},
        {Placement::stretch, 333, 222, 640, 480, {0, 0, 333, 222}},
        {Placement::actualSize, 333, 222, 640, 480, {0, 0, 640, 480}},
        // Integer scaling: the largest whole factor, or letterboxed when less than once fits.
        {Placement::integer, 1024, 768, 320, 240, {32, 24, 960, 720}},
        {Placement::integer, 1920, 1080, 640, 480, {320, 60, 1280, 960}},
        {Placement::integer, 700, 2000, 320, 200, {30, 800, 640, 400}},
        {Placement::integer, 300, 200, 640, 480, {16, 0, 267, 200}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placePicture(c.placement, c.outWidth, c.outHeight, c.width, c.height), c.placed)
            << static_cast<int>(c.placement) << " " << c.outWidth << "x" << c.outHeight;
}

// A fixed window shows its one picture one to one; front and back buffer share it, each with a
// stamp of its own. A flip presents only when a stamp changed; drawing into the front shows
// without a flip, drawing into the back waits for one; an exposed window is painted again.
TEST_F(DisplayTest, AWindowPresentsWhenAStampChangesAndWhenExposed) {
    using namespace std::chrono_literals;
    ASSERT_TRUE(display().openGraphics(16, 8, 0, 0, kWindowed));
    struct BackView final : FrameSource {
        explicit BackView(const TestFrame& f) : of(f) {}
        FramePixels pixels() const override { return of.pixels(); }
        uint32_t presentStamp() const override { return stamp; }
        const TestFrame& of;
        uint32_t stamp = 0;
    };
    TestFrame front(16, 8, 32);
    BackView back(front);
    front.fillBlocks();
    display().showFrames(&front, &back);
    ASSERT_TRUE(runtime->idle());  // the first idle paints the new mode
    const auto first = screen();
    ASSERT_EQ(std::pair(first.width, first.height), std::pair(16, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(first.at(x, y), TestFrame::block(x / 4, y / 4));
    const auto shown = [&] { return screen().at(3, 3); };

    front.fill(0xFF0000);  // pixels change, stamps do not
    display().flip(false);
    EXPECT_EQ(shown(), first.at(3, 3)) << "no change reported: nothing copied";
    back.stamp = 5;  // five drawings into the back buffer
    display().flip(false);
    EXPECT_EQ(shown(), 0xFF0000u);
    // Five drawings into the front: the counters meet at the same value, the latest still shows.
    front.fill(0x00FF00);
    front.stamp = 5;
    display().flip(false);
    EXPECT_EQ(shown(), 0x00FF00u);

    front.fill(0xABCDEF);
    back.stamp += 1;
    std::this_thread::sleep_for(110ms);
    ASSERT_TRUE(runtime->idle());
    EXPECT_EQ(shown(), 0x00FF00u) << "a frame half drawn in the back buffer stays hidden";
    front.stamp += 1;
    std::this_thread::sleep_for(110ms);
    ASSERT_TRUE(runtime->idle());
    EXPECT_EQ(shown(), 0xABCDEFu);

    paintOver(renderer(), 9, 9, 9);
    ASSERT_TRUE(pushWindowEvent(SDL_WINDOWEVENT_EXPOSED));
    ASSERT_TRUE(runtime->idle());
    EXPECT_EQ(shown(), 0xABCDEFu);
}

// 16-bit and 24-bit pictures are widened on their way to the window: every channel exactly, in
// whole groups of eight pixels and in the tail of a row.
TEST_F(DisplayTest, SixteenAndTwentyFourBitPicturesShowTheirColoursExactly) {
    ASSERT_TRUE(display().openGraphics(19, 1, 0, 0, kWindowed));
    const struct {
        uint16_t in;
        uint32_t out;
    } widened[] = {
        {0x0000, 0x000000}, {0xFFFF, 0xFFFFFF}, {0x001F, 0x0000FF}, {0x07E0, 0x00FF00},
        {0xF800, 0xFF0000}, {0x0821, 0x080408},  // the lowest step of each channel
        {0x7BEF, 0x7B7D7B},                      // 15, 31, 15: just under half
    };
    TestFrame frame16(19, 1, 16), frame24(19, 1, 24);
    std::vector<uint32_t> shown16, shown24;
    for (int32_t x = 0; x < 19; ++x) {
        frame16.put(x, 0, widened[x % 7].in);
        shown16.push_back(widened[x % 7].out);
        frame24.put(x, 0, 0x0F1E2Du * static_cast<uint32_t>(x + 1) & 0xFFFFFF);
        shown24.push_back(0x0F1E2Du * static_cast<uint32_t>(x + 1) & 0xFFFFFF);
    }
    for (const auto& [frame, shown] :
         {std::pair(&frame16, &shown16), std::pair(&frame24, &shown24)}) {
        display().showFrames(frame, frame);
        ASSERT_TRUE(runtime->idle());
        EXPECT_EQ(screen().pixels, *shown);
    }
}

}  // namespace
}  // namespace tx
