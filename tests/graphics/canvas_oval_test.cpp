#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "canvas_test_util.h"
#include "host_canvas.h"

// Ovals on a 14 x 10 canvas. Each picture was worked out from the span rules (half width
// sqrt(ry^2 - dy^2) * aspect in single precision, spans floor(cx - hw) .. floor(cx + hw), the
// outline joining each row to the previous row's edges) with an independent single-precision
// model, and checked by eye in zoomed pictures.

namespace tx {
namespace {

struct OvalCase {
    const char* name;
    int32_t at[10];  // viewport x, y, width, height; origin x, y; box x, y, width, height
    bool solid;
    int32_t top;        // the first row of `lines`; the rest of the picture is blank
    const char* lines;  // rows, '/' between them
};

const OvalCase kOvals[] = {
    {"dot 1x1", {0, 0, 14, 10, 0, 0, 1, 1, 1, 1}, true, 1, ".#"},
    {"2x2", {0, 0, 14, 10, 0, 0, 1, 1, 2, 2}, true, 1, ".##/.##"},
    {"circle 4", {0, 0, 14, 10, 0, 0, 1, 1, 4, 4}, true, 1, "..##/.####/.####/..##"},
    {"circle 5", {0, 0, 14, 10, 0, 0, 1, 1, 5, 5}, false, 1, "..###/.#...#/.#...#/.#...#/..###"},
    {"wide 12x3",
     {0, 0, 14, 10, 0, 0, 1, 1, 12, 3},
     false,
     1,
     "...########/.##........##/...########"},
    {"tall 3x8",
     {0, 0, 14, 10, 0, 0, 1, 1, 3, 8},
     false,
     1,
     "..#/.#.#/.#.#/.#.#/.#.#/.#.#/.#.#/..#"},
    {"ellipse 10x8",
     {0, 0, 14, 10, 0, 0, 1, 1, 10, 8},
     true,
     1,
     "....####/..########/.##########/.##########/.##########/.##########/..########/....####"},
    {"ellipse 10x8",
     {0, 0, 14, 10, 0, 0, 1, 1, 10, 8},
     false,
     1,
     "....####/..##....##/.#........#/.#........#/.#........#/.#........#/..##....##/....####"},
    {"left, by the bounds",
     {0, 0, 14, 10, 0, 0, -4, 1, 10, 8},
     false,
     1,
     "###/...##/.....#/.....#/.....#/.....#/...##/###"},
    {"right, by the viewport",
     {0, 0, 9, 10, 0, 0, 3, 1, 10, 8},
     false,
     1,
     "......###/....##/...#/...#/...#/...#/....##/......###"},
    {"top, by the viewport",
     {0, 3, 14, 7, 0, 0, 1, 1, 10, 8},
     false,
     3,
     ".#........#/.#........#/.#........#/.#........#/..##....##/....####"},
    {"bottom, by the bounds",
     {0, 0, 14, 10, 0, 0, 1, 5, 10, 8},
     false,
     5,
     "....####/..##....##/.#........#/.#........#/.#........#"},
    {"every edge", {2, 1, 10, 8, 0, 0, 0, 0, 14, 10}, false, 1, "..##......##///////..##......##"},
    {"with origin",
     {0, 0, 14, 10, 2, 1, 0, 0, 6, 5},
     false,
     1,
     "...####/..#....#/..#....#/..#....#/...####"},
};

void PrintTo(const OvalCase& c, std::ostream* os) {
    *os << c.name << (c.solid ? " (solid)" : " (outline)");
}

class OvalTest : public ::testing::TestWithParam<OvalCase> {};

TEST_P(OvalTest, DrawsExactlyTheseSpans) {
    const OvalCase& c = GetParam();
    for (const PixelFormat& format :
         {PixelFormat::xrgb8888(), PixelFormat::rgb565(), PixelFormat::rgb888()}) {
        SCOPED_TRACE(format.depth());
        auto canvas = test::makeCanvas(14, 10, format);
        canvas->setViewport(c.at[0], c.at[1], c.at[2], c.at[3]);
        canvas->setOrigin(c.at[4], c.at[5]);
        canvas->oval(c.at[6], c.at[7], c.at[8], c.at[9], c.solid);
        EXPECT_EQ(test::art(*canvas), test::picture(14, 10, c.top, c.lines))
            << c.name << (c.solid ? " solid" : " outline");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, OvalTest, ::testing::ValuesIn(kOvals));

// A 14 x 10 picture all of one character.
std::string picture(char c) {
    std::string out;
    for (int i = 0; i < 10; ++i) out += std::string(14, c) + '\n';
    return out;
}

TEST(OvalEdgeTest, HugeOvalsStayExactAndBounded) {
    // A circle two billion pixels across centred on the canvas: every row of the canvas lies
    // well inside it.
    auto canvas = test::makeCanvas(14, 10);
    canvas->oval(-1000000000, -1000000000, 2000000014, 2000000010, false);
    EXPECT_EQ(test::art(*canvas), picture('.'));
    canvas->oval(-1000000000, -1000000000, 2000000014, 2000000010, true);
    EXPECT_EQ(test::art(*canvas), picture('#'));

    // An outline whose middle row lies a billion rows down: only the rows in the viewport are
    // worked through, and nothing leaves the box's columns 3 to 10.
    auto tall = test::makeCanvas(14, 10);
    tall->oval(3, 0, 8, 2000000000, false);
    const std::string drawn = test::art(*tall);
    for (size_t i = 0; i < drawn.size(); ++i) {
        const size_t column = i % 15;
        if (column < 3 || (column > 10 && column < 14)) {
            EXPECT_EQ(drawn[i], '.') << i;
        }
    }
    EXPECT_NE(drawn.find('#'), std::string::npos);
}

}  // namespace
}  // namespace tx
