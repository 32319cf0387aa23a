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

Pixels run(int32_t x0, int32_t x1, int32_t y) {
    Pixels out;
    for (int32_t x = x0; x <= x1; ++x) out.insert({x, y});
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

TEST(LineTest, APointLineSetsExactlyThatPixelPlusTheOrigin) {
    auto c = test::makeCanvas(12, 12);
    c->setOrigin(4, 2);
    c->line(3, 3, 3, 3);
    EXPECT_EQ(lit(*c), (Pixels{{7, 5}}));
}

TEST(LineTest, ClippedEndPointsUseTruncatingDivision) {
    // Window x 10..19, y 10..19.
    auto c = test::makeCanvas(30, 30);
    c->setViewport(10, 10, 10, 10);
    // (0, 12)-(30, 17): left end to x 10, y 12 + 50/30 = 13; right end from (10, 13) to x 19,
    // y 13 + 36/20 = 14.
    c->line(0, 12, 30, 17);
    EXPECT_EQ(lit(*c), run(10, 14, 13) + run(15, 19, 14));

    // (0, 18)-(30, 11): left end y 18 + (-70/30 -> -2) = 16; right end from (10, 16):
    // y 16 + (-45/20 -> -2) = 14. Flooring would have given 15 and 13.
    auto d = test::makeCanvas(30, 30);
    d->setViewport(10, 10, 10, 10);
    d->line(0, 18, 30, 11);
    EXPECT_EQ(lit(*d), run(10, 12, 16) + run(13, 16, 15) + run(17, 19, 14));

    // The same under an origin: the window stays, the points move.
    auto e = test::makeCanvas(30, 30);
    e->setViewport(10, 10, 10, 10);
    e->setOrigin(-5, 3);
    e->line(5, 15, 35, 8);
    EXPECT_EQ(lit(*e), lit(*d));
}

TEST(LineTest, FarAwayEndPointsClipExactly) {
    // The intersections need products beyond 32 bits; the line is the window's diagonal.
    auto c = test::makeCanvas(30, 30);
    c->setViewport(10, 10, 10, 10);
    c->line(-1000000, -1000000, 1000000, 1000000);
    Pixels diagonal;
    for (int i = 10; i < 20; ++i) diagonal.insert({i, i});
    EXPECT_EQ(lit(*c), diagonal);

    auto d = test::makeCanvas(30, 30);
    d->line(-2147483647, 15, 2147483647, 15);
    EXPECT_EQ(lit(*d), run(0, 29, 15));
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

}  // namespace
}  // namespace tx
