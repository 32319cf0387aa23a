// SaveBuffer: the exact bytes of the 24-bit BMP file, and the cases where nothing is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "graphics_test_support.h"

namespace tx {
namespace {

using test::fileBytes;
using test::GraphicsTest;
using test::TempDir;

TEST_F(GraphicsTest, ThreeByTwoBufferIsSeventyEightBytesBottomRowFirst) {
    TempDir dir;
    const uint32_t canvas = newCanvas(3, 2);
    writePixel(0, 0, 0x00102030, canvas);
    writePixel(1, 0, 0x7F405060, canvas);  // alpha is dropped
    writePixel(2, 0, 0x00FFFFFF, canvas);
    writePixel(0, 1, 0x00010203, canvas);
    writePixel(2, 1, 0x00A0B0C0, canvas);
    ASSERT_EQ(saveBuffer(canvas, arg(dir.file("small.bmp"))), 1);

    const std::vector<uint8_t> expected = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,    // file header
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,  // size, width, height, planes, bits
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        // row 1 (the bottom one): blue, green, red per pixel, then 3 bytes of padding
        0x03, 0x02, 0x01, 0, 0, 0, 0xC0, 0xB0, 0xA0, 0, 0, 0,
        // row 0
        0x30, 0x20, 0x10, 0x60, 0x50, 0x40, 0xFF, 0xFF, 0xFF, 0, 0, 0};
    EXPECT_EQ(fileBytes(dir.file("small.bmp")), expected);
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
    graphics(640, 480, 16, 1);
    writePixel(0, 479, -1, frontBuffer());  // white, the bottom-left pixel: first in the file
    ASSERT_EQ(saveBuffer(frontBuffer(), arg(dir.file("front.bmp"))), 1);
    const auto bytes = fileBytes(dir.file("front.bmp"));
    ASSERT_EQ(bytes.size(), 54u + 640 * 3 * 480);
    EXPECT_EQ(bytes[54], 0xF8);
    EXPECT_EQ(bytes[55], 0xFC);
    EXPECT_EQ(bytes[56], 0xF8);
    EXPECT_EQ(bytes[57], 0x00);
}

TEST_F(GraphicsTest, SaveBufferAnswersZeroWhenNothingCanBeWritten) {
    TempDir dir;
    EXPECT_EQ(saveBuffer(frontBuffer(), arg(dir.file("missing/dir/x.bmp"))), 0);
    EXPECT_EQ(saveBuffer(0, arg(dir.file("none.bmp"))), 0) << "0 names no buffer here";
    EXPECT_EQ(saveBuffer(0xBAD, arg(dir.file("none.bmp"))), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));
    EXPECT_EQ(saveBuffer(frontBuffer(), arg(dir.path())), 0) << "a directory";
}

TEST_F(GraphicsTest, SaveBufferTakesProgramPaths) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("Shots"));
    ASSERT_EQ(saveBuffer(backBuffer(), arg(dir.path() + "\\SHOTS\\one.bmp")), 1);
    EXPECT_EQ(fileBytes(dir.file("Shots/one.bmp")).size(), 54u + 400 * 3 * 300);
}

}  // namespace
}  // namespace tx
