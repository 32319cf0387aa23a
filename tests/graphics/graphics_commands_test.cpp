// The graphics commands: drivers, modes and mode changes; front and back buffers, selecting
// buffers, flipping, locking and the canvases of a display; SaveBuffer's 24-bit BMP files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>

#include "graphics_commands.h"
#include "graphics_fixture.h"
#include "graphics_state.h"
#include "test_files.h"

namespace tx {
namespace {

using test::fileBytes;
using test::GraphicsTest;
using test::TempDir;

// The start-up window has the front buffer selected. Each Graphics mode opens the display it
// names (mode 0 is full screen with the debug flag clear; full screen takes the depth asked
// for, 16 for 0; windows take the desktop's); EndGraphics goes back to the start-up window only
// after Graphics. Each change starts the drawing state over, clears to black and frees every
// buffer of the old mode: their handles name nothing, and with the debug flag clear do nothing.
TEST_F(GraphicsTest, ModesOpenTheirDisplayAndEndGraphicsReturnsToTheStartUpWindow) {
    EXPECT_EQ(size(), std::tuple(400, 300, 32));
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_TRUE(video->windowShown());
    EXPECT_NE(frontBuffer(state()), backBuffer(state()));
    EXPECT_EQ(graphicsBuffer(state()), frontBuffer(state()));
    EXPECT_FALSE(state().modeSetByProgram);

    color(300, 0, 0);  // components are not masked: red keeps its low byte
    EXPECT_EQ(colorRed(), 44);
    color(9, 9, 9);
    clsColor(40, 50, 60);
    const uint32_t front = frontBuffer(state());
    endGraphics(state());
    EXPECT_EQ(frontBuffer(state()), front) << "never called Graphics: the display stays";
    EXPECT_EQ(colour(), 0x090909u);

    const struct {
        int32_t width, height, depth, mode;
        GraphicsMode opened;
        int32_t depthGot;
    } modes[] = {
        {640, 480, 0, 0, GraphicsMode::Fullscreen, 16},
        {640, 480, 24, 1, GraphicsMode::Fullscreen, 24},
        {200, 100, 16, 3, GraphicsMode::WindowedScaled, 32},
        {320, 240, 24, 2, GraphicsMode::WindowedFixed, 32},
    };
    for (const auto& m : modes) {
        const uint32_t stale[] = {frontBuffer(state()), backBuffer(state()), newCanvas(8, 8)};
        color(9, 9, 9);
        graphics(state(), m.width, m.height, m.depth, m.mode);
        EXPECT_EQ(runtime->display().graphicsMode(), m.opened) << m.mode;
        EXPECT_EQ(size(), std::tuple(m.width, m.height, m.depthGot)) << m.mode;
        EXPECT_TRUE(state().modeSetByProgram);
        EXPECT_EQ(colour(), m.depthGot == 16 ? 0xF8FCF8u : 0xFFFFFFu) << "white, as held";
        writePixel(5, 5, 0x123456, 0);
        cls();
        EXPECT_EQ(readPixel(5, 5, 0), static_cast<int32_t>(0xFF000000)) << "clear colour black";
        for (const uint32_t handle : stale) {
            EXPECT_EQ(state().buffers.find(handle), nullptr);
            setBuffer(state(), handle);
            EXPECT_EQ(graphicsBuffer(state()), frontBuffer(state()));
            EXPECT_EQ(readPixel(0, 0, handle), 0);
        }
        EXPECT_EQ(state().buffers.size(), 2u);
    }
    color(9, 9, 9);
    endGraphics(state());
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_EQ(size(), std::tuple(400, 300, 32));
    EXPECT_FALSE(state().modeSetByProgram);
    EXPECT_EQ(colour(), 0xFFFFFFu);
    EXPECT_EQ(graphicsBuffer(state()), frontBuffer(state()));

    // Modes other than 0 to 3 are illegal and change nothing; a mode that cannot be set ends
    // the program with no display left, and the commands after it do nothing.
    EXPECT_EQ(errorOf([] { graphics(state(), 640, 480, 0, 4); }), "Illegal Graphics mode");
    EXPECT_EQ(size(), std::tuple(400, 300, 32));
    EXPECT_EQ(errorOf([] { graphics(state(), 641, 480, 16, 1); }), "Unable to set graphics mode");
    EXPECT_FALSE(runtime->display().graphicsOpen());
    EXPECT_EQ(graphicsWidth(state()), 0);
    plot(1, 1);
    EXPECT_EQ(readPixel(1, 1, 0), 0);
}

// The mode list is read by CountGfxModes and emptied by SetGfxDriver; indexes outside it, or
// outside the driver list, answer 0 or "" with the debug flag clear.
TEST_F(GraphicsTest, TheModeListIsReadByCountGfxModesAndEmptiedBySetGfxDriver) {
    EXPECT_EQ(gfxModeWidth(state(), 1), 0) << "no list before CountGfxModes";
    const int32_t count = countGfxModes(state());
    ASSERT_GT(count, 0);
    const DisplayModeInfo last = runtime->display().graphicsModeInfo(0, count - 1);
    EXPECT_EQ(std::tuple(gfxModeWidth(state(), count), gfxModeHeight(state(), count),
                         gfxModeDepth(state(), count)),
              std::tuple(last.width, last.height, last.depth));
    EXPECT_EQ(gfxModeDepth(state(), count + 1), 0);
    EXPECT_EQ(gfxModeExists(state(), 640, 480, 24), 1);
    EXPECT_EQ(gfxModeExists(state(), 640, 480, 0), 0) << "depth 0 matches no mode";
    EXPECT_FALSE(take(gfxDriverName(state(), 1)).empty());
    for (const int32_t bad : {0, INT32_MIN, countGfxDrivers(state()) + 1})
        EXPECT_EQ(take(gfxDriverName(state(), bad)), "") << bad;
    setGfxDriver(state(), 1);
    EXPECT_EQ(gfxModeWidth(state(), 1), 0) << "SetGfxDriver empties the list";
    setGfxDriver(state(), countGfxDrivers(state()) + 1);
    EXPECT_EQ(countGfxModes(state()), 0) << "a driver that does not exist has no modes";
}

// Selecting a buffer (again) resets its origin and viewport; the colours go with the program.
// In a window both buffers are one picture, presented by a flip.
TEST_F(GraphicsTest, SelectingABufferResetsOriginAndViewportButKeepsTheColours) {
    color(10, 20, 30);
    clsColor(1, 2, 3);
    for (uint32_t buffer : {backBuffer(state()), frontBuffer(state())}) {
        origin(50, 60);
        viewport(100, 100, 10, 10);
        setBuffer(state(), buffer);
        const HostCanvas& selected = *state().buffers.find(buffer);
        EXPECT_EQ(selected.getOrigin(), (Point{0, 0}));
        EXPECT_EQ(selected.getViewport(), (Rect{0, 0, 400, 300}));
        EXPECT_EQ(colour(), 0x0A141Eu);
        cls();
        EXPECT_EQ(readPixel(399, 299, 0), static_cast<int32_t>(0xFF010203));
        flip(state(), 0);  // a window shows its one picture, drawn into either buffer
        EXPECT_EQ(shownAt(399, 299), 0x010203u);
    }
}

// Canvases of the display are buffers until freed (the buffers themselves are not freed this
// way); locks nest, and an unlock too many does nothing.
TEST_F(GraphicsTest, CanvasesOfTheDisplayAreBuffersUntilFreedAndLocksNest) {
    const uint32_t canvas = newCanvas(16, 8);
    ASSERT_NE(canvas, 0u);
    setBuffer(state(), canvas);
    EXPECT_EQ(readPixel(3, 3, 0), static_cast<int32_t>(0xFF000000)) << "made clear";
    plot(3, 3);
    EXPECT_EQ(readPixel(3, 3, canvas), static_cast<int32_t>(0xFFFFFFFF));
    freeDisplayCanvas(state(), frontBuffer(state()));
    EXPECT_NE(state().buffers.find(frontBuffer(state())), nullptr);
    freeDisplayCanvas(state(), canvas);
    EXPECT_EQ(state().buffers.find(canvas), nullptr);
    EXPECT_EQ(graphicsBuffer(state()), frontBuffer(state()))
        << "the freed current buffer falls back";

    HostCanvas& front = state().graphics->frontBuffer();
    lockBuffer(0);
    lockBuffer(frontBuffer(state()));
    EXPECT_EQ(front.lockCount(), 2);
    for (int i = 0; i < 3; ++i) unlockBuffer(0);
    lockBuffer(0xDEAD);  // names nothing: ignored with the debug flag clear
    EXPECT_EQ(front.lockCount(), 0);
}

// Rows are padded to whole words for every width; a 16-bit buffer saves the colours it holds
// (white as F8 FC F8, stored blue first, the bottom row first). Program paths are found
// whatever their case and separators; nothing is written, and 0 answered, for a path that
// cannot be written or a handle that names no buffer.
TEST_F(GraphicsTest, SavedRowsArePaddedAndHoldTheBuffersColoursOrNothingIsSaved) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("Shots"));
    ASSERT_EQ(saveBuffer(backBuffer(state()), arg(dir.path() + "\\SHOTS\\one.bmp")), 1);
    EXPECT_EQ(fileBytes(dir.file("Shots/one.bmp")).size(), 54u + 400 * 3 * 300);
    EXPECT_EQ(saveBuffer(frontBuffer(state()), arg(dir.file("missing/dir/x.bmp"))), 0);
    EXPECT_EQ(saveBuffer(0xBAD, arg(dir.file("none.bmp"))), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));

    graphics(state(), 640, 480, 16, 1);
    for (int32_t width = 1; width <= 4; ++width) {
        const uint32_t canvas = newCanvas(width, 3);
        writePixel(0, 2, -1, canvas);
        const std::string path = dir.file("w" + std::to_string(width) + ".bmp");
        ASSERT_EQ(saveBuffer(canvas, arg(path)), 1);
        const size_t row = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
        const auto bytes = fileBytes(path);
        ASSERT_EQ(bytes.size(), 54 + 3 * row) << width;
        EXPECT_EQ(bytes[2] | bytes[3] << 8, static_cast<int>(bytes.size()));
        EXPECT_EQ(std::vector(bytes.begin() + 54, bytes.begin() + 58),
                  (std::vector<uint8_t>{0xF8, 0xFC, 0xF8, 0x00}))
            << width;
    }
}

}  // namespace
}  // namespace tx
