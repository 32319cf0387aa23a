// Shapes drawn into a canvas: lines clipped to the viewport, every drawing operation clipped
// like the whole drawing cut to the viewport, and the exact spans of ovals.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "canvas_test_util.h"
#include "host_canvas.h"

namespace tx {
namespace {

// Lines on a 30 x 30 canvas, most clipped to the window x 10..19, y 10..19. Clipped end points
// move along the line by truncating division; far-away ones need products beyond 32 bits.
TEST(LineTest, ClippedEndPointsUseTruncatingDivisionAndFarOnesClipExactly) {
    const char* up = ".................###/.............####/..........###";
    std::string diagonal;  // (10, 10) to (19, 19)
    for (int i = 0; i < 10; ++i)
        diagonal += std::string(i ? "/" : "") + std::string(10 + i, '.') + '#';
    const struct {
        const char* name;
        bool window;
        Point origin;
        int32_t x1, y1, x2, y2;
        int32_t top;  // the first row of `lines`, as for ovals below
        std::string lines;
    } cases[] = {
        {"a point, plus the origin", false, {4, 2}, 3, 3, 3, 3, 5, ".......#"},
        // Left end to x 10, y 12 + 50/30 = 13; right end from (10, 13) to x 19, y 13 + 36/20.
        {"down", true, {}, 0, 12, 30, 17, 13, "..........#####/...............#####"},
        // Left end y 18 + (-70/30 -> -2) = 16; right end from (10, 16): y 16 + (-45/20 -> -2) =
        // 14. Flooring would have given 15 and 13.
        {"up", true, {}, 0, 18, 30, 11, 14, up},
        {"up, under an origin", true, {-5, 3}, 5, 15, 35, 8, 14, up},
        {"far diagonal", true, {}, -1000000, -1000000, 1000000, 1000000, 10, diagonal},
        {"far across", false, {}, -2147483647, 15, 2147483647, 15, 15, std::string(30, '#')},
    };
    for (const auto& k : cases) {
        auto c = test::makeCanvas(30, 30);
        if (k.window) c->setViewport(10, 10, 10, 10);
        c->setOrigin(k.origin.x, k.origin.y);
        c->line(k.x1, k.y1, k.x2, k.y2);
        EXPECT_EQ(test::art(*c), test::picture(30, 30, k.top, k.lines)) << k.name;
    }
}

// Clipping is drawing whole and keeping what lies in the viewport: rectangles (an outline edge
// outside the viewport is not drawn on its border), ovals (rows past a clipped edge still join
// the outline), plots, pixels, copies and Cls under any viewport, across or outside the canvas,
// and any origin. (Clipped lines move their end points by truncating division, above.)
TEST(DrawingTest, ClippedDrawingIsTheWholeDrawingCutToTheViewport) {
    std::mt19937 rng(5);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
    auto sprite = test::makeCanvas(7, 5);
    sprite->setColor(0xFF00FF00);
    sprite->oval(0, 0, 7, 5, true);
    int32_t x = 0, y = 0, w = 0, h = 0, round = 0;
    const std::function<void(HostCanvas&)> draws[] = {
        [&](HostCanvas& c) { c.rect(x, y, w, h, true); },
        [&](HostCanvas& c) { c.rect(x, y, w, h, false); },
        [&](HostCanvas& c) { c.oval(x, y, w, h, true); },
        [&](HostCanvas& c) { c.oval(x, y, w, h, false); },
        [&](HostCanvas& c) { c.plot(x, y); },
        [&](HostCanvas& c) { c.setPixel(x, y, 0xFFFFFFFF); },
        [&](HostCanvas& c) { c.blit(x, y, *sprite, 0, 0, 7, 5, round % 16 < 8); },
        [&](HostCanvas& c) { c.cls(); },
    };
    for (; round < 4000; ++round) {
        x = pick(-8, 20), y = pick(-8, 16), w = pick(0, 24), h = pick(0, 20);
        const Rect view = Rect::sized(pick(-8, 18), pick(-8, 14), pick(0, 20), pick(0, 16));
        auto whole = test::makeCanvas(20, 16), clipped = test::makeCanvas(20, 16);
        clipped->setViewport(view.x0, view.y0, view.width(), view.height());
        for (HostCanvas* c : {whole.get(), clipped.get()}) {
            c->setOrigin(round % 7 - 3, round % 5 - 2);
            c->setClsColor(0xFF0000FF);
            draws[round % 8](*c);
        }
        std::vector<uint32_t> expected = test::values(*whole);
        for (int32_t i = 0; i < 20 * 16; ++i)
            if (!view.contains(i % 20, i / 20)) expected[i] = 0;
        ASSERT_EQ(test::values(*clipped), expected) << "round " << round;
        if (view.intersect(clipped->bounds()).empty()) {
            EXPECT_EQ(clipped->presentStamp(), 0u) << "nothing drawn, nothing to show";
        }
    }
}

// Ovals on a 14 x 10 canvas. Each picture was worked out from the span rules (half width
// sqrt(ry^2 - dy^2) * aspect in single precision, spans floor(cx - hw) .. floor(cx + hw), the
// outline joining each row to the previous row's edges) with an independent single-precision
// model, and checked by eye in zoomed pictures.

struct OvalCase {
    const char* name;
    int32_t width, height;  // of the box at (1, 1)
    bool solid;
    const char* lines;  // rows from row 1 on, '/' between them; the rest of the picture is blank
};

const OvalCase kOvals[] = {
    {"dot 1x1", 1, 1, true, ".#"},
    {"2x2", 2, 2, true, ".##/.##"},
    {"circle 4", 4, 4, true, "..##/.####/.####/..##"},
    {"circle 5", 5, 5, false, "..###/.#...#/.#...#/.#...#/..###"},
    {"wide 12x3", 12, 3, false, "...########/.##........##/...########"},
    {"tall 3x8", 3, 8, false, "..#/.#.#/.#.#/.#.#/.#.#/.#.#/.#.#/..#"},
    {"ellipse 10x8", 10, 8, true,
     "....####/..########/.##########/.##########/.##########/.##########/..########/....####"},
    {"ellipse 10x8", 10, 8, false,
     "....####/..##....##/.#........#/.#........#/.#........#/.#........#/..##....##/....####"},
};

// Every case in every format: the spans do not depend on the pixel size.
TEST(OvalTest, DrawsExactlyTheseSpans) {
    for (const OvalCase& c : kOvals) {
        for (const PixelFormat& format :
             {PixelFormat::xrgb8888(), PixelFormat::rgb565(), PixelFormat::rgb888()}) {
            auto canvas = test::makeCanvas(14, 10, format);
            canvas->oval(1, 1, c.width, c.height, c.solid);
            EXPECT_EQ(test::art(*canvas), test::picture(14, 10, 1, c.lines))
                << c.name << (c.solid ? " solid, " : " outline, ") << format.depth() << " bits";
        }
    }
}

// A circle two billion pixels across centred on the canvas: every row lies well inside it. An
// outline whose middle row lies a billion rows down works through the viewport's rows only, and
// stays in the box's columns 3 to 10.
TEST(OvalTest, HugeOvalsStayExactAndBounded) {
    auto canvas = test::makeCanvas(14, 10);
    canvas->oval(-1000000000, -1000000000, 2000000014, 2000000010, false);
    EXPECT_EQ(test::art(*canvas), test::picture(14, 10, 0));
    canvas->oval(-1000000000, -1000000000, 2000000014, 2000000010, true);
    EXPECT_EQ(test::art(*canvas).find('.'), std::string::npos) << "every pixel filled";

    auto tall = test::makeCanvas(14, 10);
    tall->oval(3, 0, 8, 2000000000, false);
    const std::string drawn = test::art(*tall);
    for (size_t row = 0; row < 10; ++row)
        EXPECT_EQ(drawn.substr(row * 15, 3) + drawn.substr(row * 15 + 11, 3), "......") << row;
    EXPECT_NE(drawn.find('#'), std::string::npos);
}

}  // namespace
}  // namespace tx
