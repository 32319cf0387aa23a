// Collision masks kept current by drawing (one bit a pixel, set where the colour is not the mask
// colour; refreshed for the area drawn, whole words at a time), and collisions against the
// per-pixel answer: thousands of random frames 1 to 100 pixels wide (rows of one to four mask
// words, met at every shift, so bits carry across word boundaries), with random handles,
// placements and rectangles.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "canvas_collision.h"
#include "canvas_test_util.h"
#include "host_canvas.h"

namespace tx {
namespace {

using test::makeCanvas;

// Whether the canvas's own pixel (x, y) exists and is not the mask colour.
bool opaqueAt(const HostCanvas& c, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < c.getWidth() && y < c.getHeight() &&
           (c.getPixelFast(static_cast<int32_t>(x), static_cast<int32_t>(y)) & 0xFFFFFF) !=
               (c.getMask() & 0xFFFFFF);
}

std::vector<uint32_t> maskOf(const HostCanvas& c) {
    return {c.maskWords(), c.maskWords() + ptrdiff_t{c.maskStride()} * c.getHeight()};
}

// The mask as it follows from the pixels now: bit 31 leftmost, 1 where red, green and blue
// differ from the mask colour's.
std::vector<uint32_t> maskFromPixels(const HostCanvas& c) {
    std::vector<uint32_t> out(static_cast<size_t>(c.maskStride()) * c.getHeight(), 0);
    for (int32_t y = 0; y < c.getHeight(); ++y)
        for (int32_t x = 0; x < c.getWidth(); ++x)
            if (opaqueAt(c, x, y))
                out[static_cast<size_t>(y) * c.maskStride() + x / 32] |= 0x80000000u >> (x % 32);
    return out;
}

// The mask follows the pixels after every kind of drawing, in every format (alpha playing no
// part, a colour that differs in blue alone counting); rows of three words, the last with
// columns past the width, which stay 0.
TEST(CollisionMaskTest, EveryDrawingOperationKeepsTheMaskCurrent) {
    for (const PixelFormat& format : {PixelFormat::rgb565(), PixelFormat::rgb888(),
                                      PixelFormat::xrgb8888(), PixelFormat::argb8888()}) {
        auto c = makeCanvas(75, 40, format);
        auto sprite = makeCanvas(20, 20, format);
        sprite->oval(0, 0, 20, 20, true);
        EXPECT_FALSE(c->hasMask()) << "made on demand";
        c->ensureMask();
        ASSERT_TRUE(c->hasMask());
        const std::function<void()> steps[] = {
            [&] { c->rect(3, 4, 50, 10, true); },
            [&] { c->rect(30, 1, 40, 30, false); },
            [&] { c->oval(10, 10, 60, 25, true); },
            [&] { c->oval(-5, 2, 33, 33, false); },
            [&] { c->line(0, 39, 74, 0); },
            [&] { c->plot(70, 35); },
            [&] { c->blit(40, 20, *sprite, 0, 0, 20, 20, false); },
            [&] { c->blit(-5, -5, *sprite, 0, 0, 20, 20, true); },
            [&] { c->blit(10, 3, *c, 30, 10, 40, 20, false); },
            [&] { c->setPixel(74, 39, 0); },
            [&] { c->setPixelFast(64, 2, 0xFFFFFFFF); },
            [&] {
                c->lock();
                c->setPixelFast(33, 33, 0xFF00FF00);
                c->line(60, 5, 61, 38);
                c->unlock();
            },
            [&] {
                c->format().storeARGB(c->pixelAddress(50, 30), 0xFF808080);
                c->markDrawn({50, 30, 51, 31});
            },
            [&] {
                c->setViewport(20, 5, 30, 30);
                c->setOrigin(7, 7);
                c->setClsColor(0);
                c->cls();
            },
        };
        int step = 0;
        for (const auto& draw : steps) {
            c->setColor(step % 3 == 0 ? 0xFFFFFFFF : step % 3 == 1 ? 0xFF00FF00 : 0xFF000008);
            draw();
            EXPECT_EQ(maskOf(*c), maskFromPixels(*c))
                << "step " << step << ", " << format.depth() << " bits";
            ++step;
        }
    }
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
