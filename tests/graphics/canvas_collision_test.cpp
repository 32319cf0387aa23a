// Collisions against the per-pixel answer: thousands of random frames 1 to 100 pixels wide (rows
// of one to four mask words, met at every shift, so bits carry across word boundaries), with
// random handles, placements and rectangles.
#include <gtest/gtest.h>

#include <functional>

#include "canvas_collision.h"
#include "canvas_test_util.h"

namespace tx {
namespace {

using test::makeCanvas;

// Whether the canvas's own pixel (x, y) exists and is not the mask colour.
bool opaqueAt(const HostCanvas& c, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < c.getWidth() && y < c.getHeight() &&
           (c.getPixelFast(static_cast<int32_t>(x), static_cast<int32_t>(y)) & 0xFFFFFF) !=
               (c.getMask() & 0xFFFFFF);
}

// The per-pixel answer: whether an opaque pixel of a, drawn at (ax, ay), lies where `other`
// says a point is taken.
bool slowHit(const HostCanvas& a, int32_t ax, int32_t ay,
             const std::function<bool(int64_t, int64_t)>& other) {
    const int64_t x0 = int64_t{ax} - a.getHandle().x, y0 = int64_t{ay} - a.getHandle().y;
    for (int64_t y = 0; y < a.getHeight(); ++y)
        for (int64_t x = 0; x < a.getWidth(); ++x)
            if (opaqueAt(a, x, y) && other(x0 + x, y0 + y)) return true;
    return false;
}

TEST(CanvasCollision, RandomFramesAgreeWithThePerPixelAnswer) {
    uint32_t seed = 2024;
    const auto next = [&](int32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(n));
    };
    int hits = 0, rectHits = 0;
    for (int round = 0; round < 400; ++round) {
        auto a = makeCanvas(1 + next(100), 1 + next(20));
        auto b = makeCanvas(1 + next(100), 1 + next(20));
        // Both start as their mask colour; black is opaque in a, transparent in b.
        a->setMask(0xFF00FF);
        a->setColor(0xFF00FF);
        a->rect(0, 0, a->getWidth(), a->getHeight(), true);
        for (HostCanvas* c : {a.get(), b.get()}) {
            for (int k = next(c->getWidth() * c->getHeight() / 3 + 1); k > 0; --k)
                c->setPixelFast(next(c->getWidth()), next(c->getHeight()),
                                next(3) == 0 ? 0 : 0x123456);
            c->setHandle(next(9) - 4, next(9) - 4);
        }
        for (int place = 0; place < 20; ++place) {
            const int32_t ax = next(120), ay = next(30), bx = next(120), by = next(30);
            const int64_t b0 = int64_t{bx} - b->getHandle().x, b1 = int64_t{by} - b->getHandle().y;
            const bool slow = slowHit(
                *a, ax, ay, [&](int64_t x, int64_t y) { return opaqueAt(*b, x - b0, y - b1); });
            hits += slow;
            ASSERT_EQ(canvasesCollide(*a, ax, ay, *b, bx, by, false), slow)
                << "round " << round << " place " << place;
            const int32_t rx = next(120) - 10, ry = next(30) - 5;
            const int32_t rw = next(80) - 2, rh = next(20) - 2;  // some of no area
            const bool inRect = slowHit(*a, ax, ay, [&](int64_t x, int64_t y) {
                return x >= rx && y >= ry && x < int64_t{rx} + rw && y < int64_t{ry} + rh;
            });
            rectHits += inRect;
            ASSERT_EQ(canvasRectCollide(*a, ax, ay, rx, ry, rw, rh, false), inRect)
                << "round " << round << " rect " << rx << "," << ry << " " << rw << "x" << rh;
        }
    }
    EXPECT_GT(hits, 100) << "the rounds must hit as well as miss";
    EXPECT_GT(rectHits, 100);
}

}  // namespace
}  // namespace tx
