// Shapes drawn into a canvas: rectangles, lines and ovals, clipped to the viewport, and a
// viewport outside the canvas.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "canvas_test_util.h"
#include "host_canvas.h"

namespace tx {
namespace {

using Pixels = std::set<std::pair<int32_t, int32_t>>;

// The non-black pixels of a canvas.
Pixels lit(const HostCanvas& c) {
    Pixels out;
    for (int32_t y = 0; y < c.getHeight(); ++y)
        for (int32_t x = 0; x < c.getWidth(); ++x)
            if (c.format().loadValue(c.pixelAddress(x, y)) != 0) out.insert({x, y});
    return out;
}

// The pixels from (x0, y0) on, n of them, each a step of (dx, dy) from the last.
Pixels run(int32_t x0, int32_t y0, int32_t n, int32_t dx = 1, int32_t dy = 0) {
    Pixels out;
    for (int32_t i = 0; i < n; ++i) out.insert({x0 + i * dx, y0 + i * dy});
    return out;
}

Pixels operator+(Pixels a, const Pixels& b) {
    a.insert(b.begin(), b.end());
    return a;
}

TEST(RectTest, OutlineEdgesOutsideTheViewportAreNotDrawnOnItsBorder) {
    struct Case {
        const char* name;
        int32_t x, y, w, h;
        std::string picture;
    } cases[] = {
        {"left edge outside", 2, 5, 5, 4,
         test::picture(12, 12, 5, "....###/......#/......#/....###")},
        {"right edge outside", 6, 5, 8, 3, test::picture(12, 12, 5, "......###/......#/......###")},
        {"top edge outside", 5, 1, 3, 6, test::picture(12, 12, 4, ".....#.#/.....#.#/.....###")},
        {"bottom edge outside", 6, 9, 3, 9, test::picture(12, 12, 9, "......###/......#.#")},
        {"all edges outside", 0, 0, 12, 12, test::picture(12, 12, 0)},
        {"inside", 5, 6, 2, 3, test::picture(12, 12, 6, ".....##/.....##/.....##")},
    };
    for (const Case& k : cases) {
        auto c = test::makeCanvas(12, 12);
        c->setViewport(4, 4, 5, 7);  // columns 4 to 8, rows 4 to 10
        c->rect(k.x, k.y, k.w, k.h, false);
        EXPECT_EQ(test::art(*c), k.picture) << k.name;
    }
}

// Lines on a 30 x 30 canvas, most clipped to the window x 10..19, y 10..19. Clipped end points
// move along the line by truncating division; far-away ones need products beyond 32 bits.
TEST(LineTest, ClippedEndPointsUseTruncatingDivisionAndFarOnesClipExactly) {
    const struct {
        const char* name;
        bool window;
        Point origin;
        int32_t x1, y1, x2, y2;
        Pixels expected;
    } cases[] = {
        {"a point, plus the origin", false, {4, 2}, 3, 3, 3, 3, {{7, 5}}},
        // Left end to x 10, y 12 + 50/30 = 13; right end from (10, 13) to x 19, y 13 + 36/20.
        {"down", true, {}, 0, 12, 30, 17, run(10, 13, 5) + run(15, 14, 5)},
        // Left end y 18 + (-70/30 -> -2) = 16; right end from (10, 16): y 16 + (-45/20 -> -2) =
        // 14. Flooring would have given 15 and 13.
        {"up", true, {}, 0, 18, 30, 11, run(10, 16, 3) + run(13, 15, 4) + run(17, 14, 3)},
        {"up, under an origin",
         true,
         {-5, 3},
         5,
         15,
         35,
         8,
         run(10, 16, 3) + run(13, 15, 4) + run(17, 14, 3)},
        {"far diagonal", true, {}, -1000000, -1000000, 1000000, 1000000, run(10, 10, 10, 1, 1)},
        {"far across", false, {}, -2147483647, 15, 2147483647, 15, run(0, 15, 30)},
    };
    for (const auto& k : cases) {
        auto c = test::makeCanvas(30, 30);
        if (k.window) c->setViewport(10, 10, 10, 10);
        c->setOrigin(k.origin.x, k.origin.y);
        c->line(k.x1, k.y1, k.x2, k.y2);
        EXPECT_EQ(lit(*c), k.expected) << k.name;
    }
}

TEST(DrawingTest, AViewportOutsideTheCanvasMakesEveryOperationDrawNothing) {
    auto c = test::makeCanvas(16, 16);
    auto source = test::makeCanvas(4, 4);
    source->setClsColor(0xFFFFFFFF);
    source->cls();
    c->setClsColor(0xFFFFFFFF);
    c->setViewport(-20, -20, 10, 10);
    c->cls();
    c->plot(0, 0);
    c->line(0, 0, 15, 15);
    c->rect(0, 0, 16, 16, true);
    c->rect(0, 0, 16, 16, false);
    c->oval(0, 0, 16, 16, true);
    c->oval(0, 0, 16, 16, false);
    c->blit(0, 0, *source, 0, 0, 4, 4, true);
    c->setPixel(1, 1, 0xFFFFFFFF);
    EXPECT_TRUE(lit(*c).empty());
    EXPECT_EQ(c->presentStamp(), 0u);
}
// Ovals on a 14 x 10 canvas. Each picture was worked out from the span rules (half width
// sqrt(ry^2 - dy^2) * aspect in single precision, spans floor(cx - hw) .. floor(cx + hw), the
// outline joining each row to the previous row's edges) with an independent single-precision
// model, and checked by eye in zoomed pictures.

struct OvalCase {
    const char* name;
    int32_t box[4];  // x, y, width, height
    bool solid;
    int32_t top;        // the first row of `lines`; the rest of the picture is blank
    const char* lines;  // rows, '/' between them
    int32_t view[4] = {0, 0, 14, 10};
    int32_t origin[2] = {0, 0};
};

const OvalCase kOvals[] = {
    {"dot 1x1", {1, 1, 1, 1}, true, 1, ".#"},
    {"2x2", {1, 1, 2, 2}, true, 1, ".##/.##"},
    {"circle 4", {1, 1, 4, 4}, true, 1, "..##/.####/.####/..##"},
    {"circle 5", {1, 1, 5, 5}, false, 1, "..###/.#...#/.#...#/.#...#/..###"},
    {"wide 12x3", {1, 1, 12, 3}, false, 1, "...########/.##........##/...########"},
    {"tall 3x8", {1, 1, 3, 8}, false, 1, "..#/.#.#/.#.#/.#.#/.#.#/.#.#/.#.#/..#"},
    {"ellipse 10x8",
     {1, 1, 10, 8},
     true,
     1,
     "....####/..########/.##########/.##########/.##########/.##########/..########/....####"},
    {"ellipse 10x8",
     {1, 1, 10, 8},
     false,
     1,
     "....####/..##....##/.#........#/.#........#/.#........#/.#........#/..##....##/....####"},
    {"left, by the bounds",
     {-4, 1, 10, 8},
     false,
     1,
     "###/...##/.....#/.....#/.....#/.....#/...##/###"},
    {"right, by the viewport",
     {3, 1, 10, 8},
     false,
     1,
     "......###/....##/...#/...#/...#/...#/....##/......###",
     {0, 0, 9, 10}},
    {"top, by the viewport",
     {1, 1, 10, 8},
     false,
     3,
     ".#........#/.#........#/.#........#/.#........#/..##....##/....####",
     {0, 3, 14, 7}},
    {"bottom, by the bounds",
     {1, 5, 10, 8},
     false,
     5,
     "....####/..##....##/.#........#/.#........#/.#........#"},
    {"every edge", {0, 0, 14, 10}, false, 1, "..##......##///////..##......##", {2, 1, 10, 8}},
    {"with origin",
     {0, 0, 6, 5},
     false,
     1,
     "...####/..#....#/..#....#/..#....#/...####",
     {0, 0, 14, 10},
     {2, 1}},
};

// Every case in every format: the spans do not depend on the pixel size.
TEST(OvalTest, DrawsExactlyTheseSpans) {
    for (const OvalCase& c : kOvals) {
        for (const PixelFormat& format :
             {PixelFormat::xrgb8888(), PixelFormat::rgb565(), PixelFormat::rgb888()}) {
            auto canvas = test::makeCanvas(14, 10, format);
            canvas->setViewport(c.view[0], c.view[1], c.view[2], c.view[3]);
            canvas->setOrigin(c.origin[0], c.origin[1]);
            canvas->oval(c.box[0], c.box[1], c.box[2], c.box[3], c.solid);
            EXPECT_EQ(test::art(*canvas), test::picture(14, 10, c.top, c.lines))
                << c.name << (c.solid ? " solid, " : " outline, ") << format.depth() << " bits";
        }
    }
}

TEST(OvalTest, HugeOvalsStayExactAndBounded) {
    // A circle two billion pixels across centred on the canvas: every row of the canvas lies
    // well inside it.
    auto canvas = test::makeCanvas(14, 10);
    canvas->oval(-1000000000, -1000000000, 2000000014, 2000000010, false);
    EXPECT_EQ(test::art(*canvas), test::picture(14, 10, 0));
    canvas->oval(-1000000000, -1000000000, 2000000014, 2000000010, true);
    std::string filled;
    for (int row = 0; row < 10; ++row) filled += std::string(14, '#') + '\n';
    EXPECT_EQ(test::art(*canvas), filled);

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
