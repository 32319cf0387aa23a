// Collisions: the word-boundary cases, then thousands of random frames, placements and
// rectangles against a per-pixel answer; then the commands: touching boxes, masks built only
// when needed and kept current by drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "canvas_collision.h"
#include "canvas_test_util.h"
#include "graphics_test_support.h"

namespace tx {
namespace {

using test::GraphicsTest;
using test::makeCanvas;

// A canvas of width x 3 whose only opaque pixels are the given columns (row 1).
std::unique_ptr<HostCanvas> columns(int32_t width, std::initializer_list<int32_t> opaque) {
    auto canvas = makeCanvas(width, 3);
    for (const int32_t x : opaque) canvas->setPixelFast(x, 1, 0xFFFFFFFF);
    return canvas;
}

TEST(CanvasCollision, TheMeetingColumnIsCarriedAcrossWordBoundaries) {
    for (const int32_t width : {33, 64, 65, 97}) {
        auto last = columns(width, {width - 1});
        auto first = columns(width, {0});
        for (const int32_t apart : {width - 2, width - 1, width}) {
            SCOPED_TRACE(std::to_string(width) + " wide, " + std::to_string(apart) + " apart");
            const bool meet = apart == width - 1;
            EXPECT_EQ(canvasesCollide(*last, 10, 5, *first, 10 + apart, 5, false), meet);
            EXPECT_EQ(canvasesCollide(*first, 10 + apart, 5, *last, 10, 5, false), meet);
            EXPECT_EQ(canvasesCollide(*last, 10, 5, *first, 10 + apart, 5, true), apart < width);
        }
    }
}

// The per-pixel answers.
bool opaqueAt(const HostCanvas& c, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < c.getWidth() && y < c.getHeight() &&
           (c.getPixelFast(static_cast<int32_t>(x), static_cast<int32_t>(y)) & 0xFFFFFF) !=
               (c.getMask() & 0xFFFFFF);
}

bool slowCollide(const HostCanvas& a, int32_t ax, int32_t ay, const HostCanvas& b, int32_t bx,
                 int32_t by) {
    const int64_t a0 = int64_t{ax} - a.getHandle().x, a1 = int64_t{ay} - a.getHandle().y;
    const int64_t b0 = int64_t{bx} - b.getHandle().x, b1 = int64_t{by} - b.getHandle().y;
    for (int64_t y = a1; y < a1 + a.getHeight(); ++y)
        for (int64_t x = a0; x < a0 + a.getWidth(); ++x)
            if (opaqueAt(a, x - a0, y - a1) && opaqueAt(b, x - b0, y - b1)) return true;
    return false;
}

bool slowRect(const HostCanvas& a, int32_t ax, int32_t ay, int32_t rx, int32_t ry, int32_t rw,
              int32_t rh) {
    const int64_t a0 = int64_t{ax} - a.getHandle().x, a1 = int64_t{ay} - a.getHandle().y;
    for (int64_t y = ry; y < int64_t{ry} + rh; ++y)
        for (int64_t x = rx; x < int64_t{rx} + rw; ++x)
            if (opaqueAt(a, x - a0, y - a1)) return true;
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
            const bool slow = slowCollide(*a, ax, ay, *b, bx, by);
            hits += slow;
            ASSERT_EQ(canvasesCollide(*a, ax, ay, *b, bx, by, false), slow)
                << "round " << round << " place " << place;
            const int32_t rx = next(120) - 10, ry = next(30) - 5;
            const int32_t rw = next(80) - 2, rh = next(20) - 2;
            const bool inRect = rw > 0 && rh > 0 && slowRect(*a, ax, ay, rx, ry, rw, rh);
            rectHits += inRect;
            ASSERT_EQ(canvasRectCollide(*a, ax, ay, rx, ry, rw, rh, false), inRect)
                << "round " << round << " rect " << rx << "," << ry << " " << rw << "x" << rh;
        }
    }
    EXPECT_GT(hits, 100) << "the rounds must hit as well as miss";
    EXPECT_GT(rectHits, 100);
}

class CollisionCommands : public GraphicsTest {
protected:
    // An 8 x 8 image: a white square of `size` at the top-left on black, mid handle.
    static uint32_t square(int32_t size) {
        const uint32_t image = createImage(8, 8, 1);
        HostCanvas& frame = *state().images.find(image)->frames[0].canvas;
        frame.setColor(0xFFFFFFFF);
        frame.rect(0, 0, size, size, true);
        midHandle(image);
        return image;
    }
    static HostCanvas& frame(uint32_t image) {
        return *state().images.find(image)->frames[0].canvas;
    }
};

// Origins and ImagesCollide against ImagesOverlap are the guest program's; here the boxes of
// mid-handled frames, edges that only touch, and masks that box tests never build.
TEST_F(CollisionCommands, BoxesTouchAndMasksWaitForPixelTests) {
    const uint32_t full = square(8), corner = square(2);
    EXPECT_EQ(imagesOverlap(full, 50, 50, full, 50, 50), 1);
    EXPECT_EQ(imagesOverlap(full, 50, 50, full, 58, 50), 0);
    EXPECT_EQ(rectsOverlap(0, 0, 10, 10, 10, 0, 10, 10), 0);
    EXPECT_EQ(rectsOverlap(0, 0, 10, 10, 9, 9, 10, 10), 1);
    EXPECT_EQ(rectsOverlap(2147483600, 0, 100, 1, -2147483600, 0, 100, 1), 0) << "no wrapping";
    EXPECT_EQ(imageRectOverlap(corner, 50, 50, 47, 47, 3, 3), 1);
    EXPECT_FALSE(frame(full).hasMask() || frame(corner).hasMask());
    EXPECT_EQ(imageRectCollide(corner, 50, 50, 0, 48, 48, 3, 3), 0);
    EXPECT_EQ(imageRectCollide(corner, 50, 50, 0, 47, 47, 3, 3), 1);
    EXPECT_EQ(imageRectCollide(corner, 50, 50, 0, 46, 46, 0, 5), 0) << "no area";
    EXPECT_TRUE(frame(corner).hasMask());
    EXPECT_FALSE(frame(full).hasMask());
}

TEST_F(CollisionCommands, MasksKeepTheirTransparencyUntilDrawingRefreshesThem) {
    const uint32_t full = square(8), corner = square(2);
    EXPECT_EQ(imagesCollide(corner, 50, 50, 0, full, 53, 53, 0), 0);  // builds both masks
    maskImage(corner, 255, 255, 255);  // now white is transparent and black opaque
    EXPECT_EQ(imagesCollide(corner, 50, 50, 0, full, 53, 53, 0), 0) << "the old mask";
    // Drawing into the frame refreshes the words it touches: row 7 (all black, now opaque).
    setBuffer(imageBuffer(corner, 0));
    color(0, 0, 0);
    plot(7, 7);
    EXPECT_EQ(imagesCollide(corner, 50, 50, 0, full, 53, 53, 0), 1);
    // A frame drawn over after its mask exists is tested as it now looks.
    setBuffer(imageBuffer(full, 0));
    cls();
    EXPECT_EQ(imagesCollide(corner, 50, 50, 0, full, 53, 53, 0), 0);
}

}  // namespace
}  // namespace tx
