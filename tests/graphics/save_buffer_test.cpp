// SaveBuffer: the exact bytes of the 24-bit BMP file, and the cases where nothing is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "graphics_test_support.h"

namespace tx {
namespace {

using test::fileBytes;
using test::GraphicsTest;
using test::TempDir;

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
