// Front and back buffers, selecting buffers, flipping, locking and the canvases of a display;
// SaveBuffer's 24-bit BMP files, and the cases where nothing is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "graphics_test_support.h"

namespace tx {
namespace {

using test::fileBytes;
using test::GraphicsTest;
using test::TempDir;

TEST_F(GraphicsTest, WindowedFrontAndBackAreTwoHandlesOnOnePicture) {
    setBuffer(state(), backBuffer(state()));
    EXPECT_EQ(graphicsBuffer(state()), backBuffer(state()));
    color(0, 255, 0);
    rect(10, 10, 20, 20, 1);
    EXPECT_EQ(readPixel(15, 15, frontBuffer(state())), static_cast<int32_t>(0xFF00FF00));

    flip(state(), 0);
    EXPECT_EQ(shownAt(15, 15), 0x00FF00u);
    EXPECT_EQ(shownAt(5, 5), 0u);
    EXPECT_EQ(shownAt(399, 299), 0u);
}

TEST_F(GraphicsTest, FullScreenFlipExchangesThePages) {
    graphics(state(), 640, 480, 32, 1);
    setBuffer(state(), backBuffer(state()));
    clsColor(0, 0, 255);
    cls();                                               // back: blue
    writePixel(0, 0, 0xFFFF0000, frontBuffer(state()));  // front: black with one red pixel
    flip(state(), 0);

    EXPECT_EQ(readPixel(300, 300, frontBuffer(state())), static_cast<int32_t>(0xFF0000FF));
    EXPECT_EQ(readPixel(0, 0, backBuffer(state())), static_cast<int32_t>(0xFFFF0000));
    EXPECT_EQ(readPixel(300, 300, backBuffer(state())), static_cast<int32_t>(0xFF000000));
    EXPECT_EQ(graphicsBuffer(state()), backBuffer(state()))
        << "the program keeps drawing into the back buffer";
    EXPECT_EQ(shownAt(320, 240), 0x0000FFu);

    flip(state(), 0);
    EXPECT_EQ(readPixel(0, 0, frontBuffer(state())), static_cast<int32_t>(0xFFFF0000));
    EXPECT_EQ(shownAt(320, 240), 0u);
}

TEST_F(GraphicsTest, SelectingABufferResetsOriginAndViewportButKeepsTheColours) {
    color(10, 20, 30);
    clsColor(1, 2, 3);
    origin(50, 60);
    viewport(100, 100, 10, 10);
    setBuffer(state(), backBuffer(state()));
    HostCanvas& back = state().graphics->backBuffer();
    EXPECT_EQ(back.getOrigin(), (Point{0, 0}));
    EXPECT_EQ(back.getViewport(), (Rect{0, 0, 400, 300}));
    EXPECT_EQ(colorRed(), 10);
    EXPECT_EQ(colorGreen(), 20);
    EXPECT_EQ(colorBlue(), 30);
    cls();
    EXPECT_EQ(readPixel(399, 299, 0), static_cast<int32_t>(0xFF010203));

    // Selecting the front buffer again resets what was set on it before.
    setBuffer(state(), frontBuffer(state()));
    HostCanvas& front = state().graphics->frontBuffer();
    EXPECT_EQ(front.getOrigin(), (Point{0, 0}));
    EXPECT_EQ(front.getViewport(), (Rect{0, 0, 400, 300}));
}

TEST_F(GraphicsTest, CanvasesOfTheDisplayAreBuffersUntilFreed) {
    const uint32_t canvas = newCanvas(16, 8);
    ASSERT_NE(canvas, 0u);
    setBuffer(state(), canvas);
    EXPECT_EQ(graphicsBuffer(state()), canvas);
    EXPECT_EQ(readPixel(3, 3, 0), static_cast<int32_t>(0xFF000000)) << "made clear";
    plot(3, 3);
    EXPECT_EQ(readPixel(3, 3, canvas), static_cast<int32_t>(0xFFFFFFFF));

    freeDisplayCanvas(state(), frontBuffer(state()));  // buffers are not freed this way
    EXPECT_NE(state().buffers.find(frontBuffer(state())), nullptr);
    freeDisplayCanvas(state(), canvas);
    EXPECT_EQ(state().buffers.find(canvas), nullptr);
    EXPECT_EQ(graphicsBuffer(state()), frontBuffer(state()))
        << "the freed current buffer falls back";
    EXPECT_EQ(state().graphics->canvasCount(), 0u);
}

TEST_F(GraphicsTest, LocksNestAndAnUnlockTooManyDoesNothing) {
    HostCanvas& front = state().graphics->frontBuffer();
    lockBuffer(0);
    lockBuffer(frontBuffer(state()));
    EXPECT_EQ(front.lockCount(), 2);
    unlockBuffer(0);
    unlockBuffer(0);
    unlockBuffer(0);
    EXPECT_EQ(front.lockCount(), 0);
    lockBuffer(0xDEAD);  // names nothing: ignored with the debug flag clear
    EXPECT_EQ(front.lockCount(), 0);
}

TEST_F(GraphicsTest, RowsArePaddedToWholeWordsForEveryWidth) {
    TempDir dir;
    for (int32_t width = 1; width <= 5; ++width) {
        const uint32_t canvas = newCanvas(width, 3);
        const std::string path = dir.file("w" + std::to_string(width) + ".bmp");
        ASSERT_EQ(saveBuffer(canvas, arg(path)), 1);
        const size_t row = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
        const auto bytes = fileBytes(path);
        ASSERT_EQ(bytes.size(), 54 + 3 * row) << width;
        EXPECT_EQ(bytes[2] | bytes[3] << 8, static_cast<int>(bytes.size()));
    }
}

TEST_F(GraphicsTest, SixteenBitBuffersSaveTheColoursTheyHold) {
    TempDir dir;
    graphics(state(), 640, 480, 16, 1);
    writePixel(0, 479, -1,
               frontBuffer(state()));  // white, the bottom-left pixel: first in the file
    ASSERT_EQ(saveBuffer(frontBuffer(state()), arg(dir.file("front.bmp"))), 1);
    const auto bytes = fileBytes(dir.file("front.bmp"));
    ASSERT_EQ(bytes.size(), 54u + 640 * 3 * 480);
    EXPECT_EQ(bytes[54], 0xF8);
    EXPECT_EQ(bytes[55], 0xFC);
    EXPECT_EQ(bytes[56], 0xF8);
    EXPECT_EQ(bytes[57], 0x00);
}

TEST_F(GraphicsTest, SaveBufferAnswersZeroWhenNothingCanBeWritten) {
    TempDir dir;
    EXPECT_EQ(saveBuffer(frontBuffer(state()), arg(dir.file("missing/dir/x.bmp"))), 0);
    EXPECT_EQ(saveBuffer(0, arg(dir.file("none.bmp"))), 0) << "0 names no buffer here";
    EXPECT_EQ(saveBuffer(0xBAD, arg(dir.file("none.bmp"))), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));
    EXPECT_EQ(saveBuffer(frontBuffer(state()), arg(dir.path())), 0) << "a directory";
}

TEST_F(GraphicsTest, SaveBufferTakesProgramPaths) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("Shots"));
    ASSERT_EQ(saveBuffer(backBuffer(state()), arg(dir.path() + "\\SHOTS\\one.bmp")), 1);
    EXPECT_EQ(fileBytes(dir.file("Shots/one.bmp")).size(), 54u + 400 * 3 * 300);
}

}  // namespace
}  // namespace tx
