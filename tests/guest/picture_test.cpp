// The golden picture: a guest program draws every primitive, saves both buffers as BMP files,
// and the test reads the pixels back.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "guest_runner.h"
#include "test_files.h"

namespace tx {
namespace {

using test::firstError;
using test::runGuest;

// A 24-bit bottom-up BMP file, read back as 0x00RRGGBB pixels; 0 x 0 when it is not one.
struct Bmp {
    explicit Bmp(const std::string& path) : bytes(test::fileBytes(path)) {
        if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || word(28, 2) != 24) return;
        offset = word(10, 4);
        rowSize = (word(18, 4) * 3 + 3) & ~size_t{3};
        if (bytes.size() < offset + rowSize * word(22, 4)) return;
        width = static_cast<int32_t>(word(18, 4));
        height = static_cast<int32_t>(word(22, 4));
    }
    // The little-endian value of `size` bytes.
    uint32_t word(size_t at, int size) const {
        uint32_t value = 0;
        while (size-- > 0) value = value << 8 | bytes[at + size];
        return value;
    }
    uint32_t at(int32_t x, int32_t y) const {
        return word(offset + (height - 1 - y) * rowSize + static_cast<size_t>(x) * 3, 3);
    }
    // How many pixels of the half-open rectangle have the colour.
    int count(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) const {
        int n = 0;
        for (int32_t y = y0; y < y1; ++y)
            for (int32_t x = x0; x < x1; ++x) n += at(x, y) == colour;
        return n;
    }

    std::vector<uint8_t> bytes;
    size_t offset = 0, rowSize = 0;
    int32_t width = 0, height = 0;
};

constexpr uint32_t kBackground = 0x000040;
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;
constexpr uint32_t kWhite = 0xFFFFFF, kMagenta = 0xFF00FF, kCyan = 0x00FFFF, kOrange = 0xFF8000;

// The program draws once; the drawing lands in the front buffer.
TEST(GuestPicture, EveryPrimitiveLandsWhereItShould) {
    test::TempDir dir;
    ::setenv("TX_DIR", dir.path().c_str(), 1);
    const test::GuestRun run = runGuest("graphics", "picture");
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    const Bmp front(dir.file("front.bmp")), back(dir.file("back.bmp"));
    ASSERT_EQ(front.width, 640);
    ASSERT_EQ(front.height, 480);
    // The flip gave the drawing to the front buffer and the cleared page to the back.
    ASSERT_EQ(back.width, 640);
    ASSERT_EQ(back.count(0, 0, 640, 480, 0), 640 * 480);

    // Rectangles: solid, outlined, under an origin, clipped by a viewport.
    EXPECT_EQ(front.count(10, 10, 110, 60, kRed), 100 * 50);
    EXPECT_EQ(front.count(9, 9, 111, 61, kRed), 100 * 50) << "nothing red around it";
    // Outline: the border of 100 x 50, the inside untouched.
    EXPECT_EQ(front.count(200, 10, 300, 60, kGreen), 2 * 100 + 2 * 48);
    EXPECT_EQ(front.count(201, 11, 299, 59, kBackground), 98 * 48);
    // Under Origin 400,300.
    EXPECT_EQ(front.count(398, 298, 422, 322, kCyan), 20 * 20);
    EXPECT_EQ(front.at(400, 300), kCyan);
    EXPECT_EQ(front.at(419, 319), kCyan);
    // A 40 x 40 rectangle in a 20 x 20 viewport at (600, 400).
    EXPECT_EQ(front.count(580, 380, 640, 440, kOrange), 20 * 20);
    EXPECT_EQ(front.at(600, 400), kOrange);
    EXPECT_EQ(front.at(619, 419), kOrange);
    EXPECT_EQ(front.at(599, 410), kBackground);
    EXPECT_EQ(front.at(610, 420), kBackground);

    // Ovals follow their row spans (their exact shapes are checked on canvases).
    // Solid, box (10, 100)-(110, 200): centre (60.5, 149.5), radius 50. Row 150 spans
    // [10, 110); rows 100 and 199 are 7.05 wide each side: [53, 67).
    EXPECT_EQ(front.count(10, 150, 110, 151, kBlue), 100);
    EXPECT_EQ(front.at(9, 150), kBackground);
    EXPECT_EQ(front.at(110, 150), kBackground);
    EXPECT_EQ(front.count(0, 100, 120, 101, kBlue), 14);
    EXPECT_EQ(front.count(0, 199, 120, 200, kBlue), 14);
    EXPECT_EQ(front.count(0, 99, 640, 100, kBlue), 0);
    EXPECT_EQ(front.count(0, 200, 200, 201, kBlue), 0);

    // Outline, box (200, 100)-(300, 200): the edge, an empty middle.
    EXPECT_EQ(front.at(200, 150), kYellow);
    EXPECT_EQ(front.at(299, 150), kYellow);
    // The top row is filled from each edge to the centre: [243, 257).
    EXPECT_EQ(front.count(190, 100, 310, 101, kYellow), 14);
    EXPECT_EQ(front.count(230, 130, 270, 170, kYellow), 0);
    EXPECT_EQ(front.at(200, 100), kBackground);
    EXPECT_EQ(front.at(299, 199), kBackground);
    // Every row of the box has edge pixels, and none lie outside the box.
    for (int32_t y = 100; y < 200; ++y) EXPECT_GT(front.count(200, y, 300, y + 1, kYellow), 0);
    EXPECT_EQ(front.count(150, 95, 350, 100, kYellow) + front.count(150, 200, 350, 205, kYellow),
              0);

    // Lines have one pixel per column.
    EXPECT_EQ(front.at(0, 479), kWhite);
    EXPECT_EQ(front.at(639, 0), kWhite);
    // The diagonal is wider than tall: exactly one pixel in every column; the horizontal line
    // adds one more in columns 320 to 420.
    for (int32_t x = 0; x < 640; ++x) {
        const int expected = x >= 320 && x <= 420 ? 2 : 1;
        ASSERT_EQ(front.count(x, 0, x + 1, 480, kWhite), expected) << "column " << x;
    }
    EXPECT_EQ(front.count(300, 460, 440, 461, kWhite), 101);
    // Bresenham steps: the pixel of a column is within half a pixel of the true line.
    for (int32_t x = 0; x < 640; x += 37) {
        int32_t y = 0;
        while (front.at(x, y) != kWhite || (y == 460 && x >= 320 && x <= 420)) ++y;
        const double exact = 479.0 - x * 479.0 / 639.0;
        EXPECT_LE(std::abs(y - exact), 0.5 + 1e-9) << x;
    }

    // Pixels and block copies.
    EXPECT_EQ(front.at(500, 300), kMagenta);
    EXPECT_EQ(front.count(499, 299, 502, 302, kMagenta), 1);
    EXPECT_EQ(front.at(5, 5), 0x123456u);
    // CopyRect of the red rectangle's corner to (450, 10).
    EXPECT_EQ(front.count(440, 0, 480, 40, kRed), 20 * 20);
    EXPECT_EQ(front.at(450, 10), kRed);
    EXPECT_EQ(front.at(469, 29), kRed);
    // Fast and slow pixel copies and writes, and GetColor of a copied pixel.
    EXPECT_EQ(front.at(7, 5), 0x00FF00u);
    EXPECT_EQ(front.at(9, 5), 0x123456u);
    EXPECT_EQ(front.at(11, 5), 0x123456u);
}

// The image program's game runs through its own checks to its end; in its picture, tiles of a
// frame cover the viewport, aligned with where the frame would be drawn, and nothing outside.
TEST(GuestImagesPicture, GameEndsAndTilesFillTheViewportOnly) {
    const test::TempDir dir;
    ::setenv("TX_DIR", dir.path().c_str(), 1);
    const test::GuestRun run = runGuest("images", "game");
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    const Bmp picture(dir.file("images.bmp"));
    ASSERT_GE(picture.width, 520);
    ASSERT_GE(picture.height, 420);
    // Frame 2's square tiled from (0, 0), only inside the viewport.
    int wrong = 0;
    for (int32_t y = 280; y < 420; ++y) {
        for (int32_t x = 380; x < 520; ++x) {
            const bool inView = x >= 404 && x < 504 && y >= 300 && y < 400;
            const bool inSquare = x % 32 >= 4 && x % 32 < 28 && y % 32 >= 4 && y % 32 < 28;
            wrong += picture.at(x, y) != (inView && inSquare ? kBlue : kBackground);
        }
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace tx
