// The drawing state, shapes, pixels and block copies through the commands, on the current
// buffer and on buffers named by handle.
#include <gtest/gtest.h>

#include "graphics_test_support.h"

namespace tx {
namespace {

using test::GraphicsTest;

constexpr int32_t argb(uint32_t value) {
    return static_cast<int32_t>(value);
}

TEST_F(GraphicsTest, ColorComponentsAreNotMasked) {
    color(300, 0, 0);
    EXPECT_EQ(colorRed(), 44);
    EXPECT_EQ(state().currentBuffer->colorARGB(), 0xFF2C0000u) << "alpha forced";
    plot(2, 2);
    EXPECT_EQ(readPixel(2, 2, 0), argb(0xFF2C0000));

    color(0, -1, 0);  // every bit above green set too
    EXPECT_EQ(state().currentBuffer->colorARGB(), 0xFFFFFF00u);
}

TEST_F(GraphicsTest, ClsClearsOnlyTheViewportWhateverTheOrigin) {
    color(255, 255, 255);
    rect(0, 0, 400, 300, 1);
    origin(50, 50);
    viewport(10, 20, 30, 40);
    clsColor(0, 0, 128);
    cls();
    EXPECT_EQ(readPixelFast(10, 20, 0), argb(0xFF000080));
    EXPECT_EQ(readPixelFast(39, 59, 0), argb(0xFF000080));
    EXPECT_EQ(readPixelFast(40, 59, 0), argb(0xFFFFFFFF));
    EXPECT_EQ(readPixelFast(39, 60, 0), argb(0xFFFFFFFF));
    EXPECT_EQ(readPixelFast(60, 70, 0), argb(0xFFFFFFFF)) << "the origin does not move it";
}

TEST_F(GraphicsTest, SixteenBitBuffersHoldFewerBitsOfEachColour) {
    graphics(640, 480, 16, 1);
    color(255, 255, 255);
    EXPECT_EQ(colorRed(), 248);
    EXPECT_EQ(colorGreen(), 252);
    EXPECT_EQ(colorBlue(), 248);
    writePixel(1, 1, argb(0xFFFFFFFF), 0);
    EXPECT_EQ(readPixel(1, 1, 0), argb(0xFFF8FCF8));
}

TEST_F(GraphicsTest, GetColorTakesTheColourOfAPixel) {
    writePixel(7, 8, 0x00336699, 0);
    color(1, 1, 1);
    getColor(7, 8);
    EXPECT_EQ(state().currentBuffer->colorARGB(), 0xFF336699u);
    EXPECT_EQ(colorGreen(), 0x66);
    plot(0, 0);
    EXPECT_EQ(readPixel(0, 0, 0), argb(0xFF336699));
    // Outside the viewport it reads the mask colour (black).
    getColor(-1, -1);
    EXPECT_EQ(colorRed(), 0);
}

TEST_F(GraphicsTest, PixelsWithAndWithoutTheOrigin) {
    origin(10, 10);
    writePixel(1, 2, argb(0xFF112233), 0);
    EXPECT_EQ(readPixelFast(11, 12, 0), argb(0xFF112233));
    EXPECT_EQ(readPixel(1, 2, 0), argb(0xFF112233));
    writePixelFast(1, 2, argb(0xFF445566), 0);
    EXPECT_EQ(readPixel(-9, -8, 0), argb(0xFF445566));
    // Outside the buffer the fast commands touch nothing and read the mask colour.
    writePixelFast(400, 0, -1, 0);
    writePixelFast(-1, 5, -1, 0);
    EXPECT_EQ(readPixelFast(400, 0, 0), argb(0xFF000000));
    EXPECT_EQ(readPixelFast(0, 0, 0xBAD), 0) << "a handle that names nothing";
}

TEST_F(GraphicsTest, CopyPixelAddsEachBuffersOriginAndNeedsBothPointsInside) {
    const uint32_t source = newCanvas(8, 8);
    writePixel(2, 3, argb(0xFFABCDEF), source);
    origin(100, 100);  // the current buffer's
    copyPixel(2, 3, source, 5, 5, 0);
    EXPECT_EQ(readPixelFast(105, 105, 0), argb(0xFFABCDEF));
    copyPixel(9, 3, source, 6, 6, 0);  // outside the source
    EXPECT_EQ(readPixelFast(106, 106, 0), argb(0xFF000000));
    copyPixelFast(2, 3, source, 1, 1, 0);
    EXPECT_EQ(readPixelFast(1, 1, 0), argb(0xFFABCDEF));
}

TEST_F(GraphicsTest, CopyRectBetweenBuffersAndWithinOne) {
    const uint32_t source = newCanvas(4, 4);
    setBuffer(source);
    color(0, 0, 255);
    rect(0, 0, 4, 4, 1);
    setBuffer(frontBuffer());
    copyRect(1, 1, 3, 3, 20, 30, source, 0);
    EXPECT_EQ(readPixel(20, 30, 0), argb(0xFF0000FF));
    EXPECT_EQ(readPixel(22, 32, 0), argb(0xFF0000FF));
    EXPECT_EQ(readPixel(23, 33, 0), argb(0xFF000000)) << "clipped to the source";

    // Overlapping, inside the current buffer: as if the source were copied first.
    for (int32_t x = 0; x < 6; ++x) writePixel(x, 100, argb(0xFF000000 | (x + 1)), 0);
    copyRect(0, 100, 6, 1, 2, 100, 0, 0);
    for (int32_t x = 2; x < 8; ++x) EXPECT_EQ(readPixel(x, 100, 0), argb(0xFF000000 | (x - 1)));
}

TEST_F(GraphicsTest, ShapesDrawIntoTheCurrentBufferOnly) {
    setBuffer(backBuffer());
    const uint32_t canvas = newCanvas(20, 20);
    setBuffer(canvas);
    color(255, 0, 0);
    line(0, 0, 19, 19);
    rect(2, 2, 5, 5, 0);
    oval(10, 0, 10, 10, 1);
    plot(0, 19);
    EXPECT_EQ(readPixel(19, 19, canvas), argb(0xFFFF0000));
    EXPECT_EQ(readPixel(6, 2, canvas), argb(0xFFFF0000));
    EXPECT_EQ(readPixel(4, 4, canvas), argb(0xFFFF0000)) << "the diagonal";
    EXPECT_EQ(readPixel(4, 3, canvas), argb(0xFF000000)) << "inside the outline";
    EXPECT_EQ(readPixel(15, 5, canvas), argb(0xFFFF0000));
    EXPECT_EQ(readPixel(0, 19, canvas), argb(0xFFFF0000));
    for (int32_t y = 0; y < 300; y += 7)
        for (int32_t x = 0; x < 400; x += 7)
            ASSERT_EQ(readPixelFast(x, y, frontBuffer()), argb(0xFF000000)) << x << "," << y;
}

}  // namespace
}  // namespace tx
