// Collision masks kept current by drawing: one bit a pixel, set where the colour is not the mask
// colour; refreshed for the area drawn, whole words at a time.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "canvas_test_util.h"
#include "host_canvas.h"

namespace tx {
namespace {

std::vector<uint32_t> maskOf(const HostCanvas& c) {
    return {c.maskWords(), c.maskWords() + ptrdiff_t{c.maskStride()} * c.getHeight()};
}

// The mask as it follows from the pixels now: bit 31 leftmost, 1 where red, green and blue
// differ from the mask colour's.
std::vector<uint32_t> maskFromPixels(const HostCanvas& c) {
    std::vector<uint32_t> out(static_cast<size_t>(c.maskStride()) * c.getHeight(), 0);
    const uint32_t key = c.getMask() & 0xFFFFFF;
    for (int32_t y = 0; y < c.getHeight(); ++y)
        for (int32_t x = 0; x < c.getWidth(); ++x)
            if ((c.getPixelFast(x, y) & 0xFFFFFF) != key)
                out[static_cast<size_t>(y) * c.maskStride() + x / 32] |= 0x80000000u >> (x % 32);
    return out;
}

// The mask follows the pixels after every kind of drawing, in every format (alpha playing no
// part, a colour that differs in blue alone counting); rows of three words, the last with
// columns past the width, which stay 0.
TEST(CollisionMaskTest, EveryDrawingOperationKeepsTheMaskCurrent) {
    for (const PixelFormat& format : {PixelFormat::rgb565(), PixelFormat::rgb888(),
                                      PixelFormat::xrgb8888(), PixelFormat::argb8888()}) {
        auto c = test::makeCanvas(75, 40, format);
        auto sprite = test::makeCanvas(20, 20, format);
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

// A new mask colour waits for drawing to refresh the mask: a plot refreshes its whole word,
// UpdateMask whole words of its rectangle (clipped to the canvas; an empty one does nothing)
// and pixel writes all of it when the lock is released.
TEST(CollisionMaskTest, ANewMaskColourWaitsForDrawingToRefreshTheMask) {
    auto c = test::makeCanvas(70, 2);
    c->ensureMask();
    c->setMask(0xFFFFFF);  // now every black pixel differs; the mask says "all transparent"
    EXPECT_EQ(maskOf(*c), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0}));
    c->setColor(0xFFFF0000);
    c->plot(40, 0);
    EXPECT_EQ(maskOf(*c), (std::vector<uint32_t>{0, 0xFFFFFFFF, 0, 0, 0, 0}));
    c->updateMask({60, 1, 200, 2});  // the last word has 6 columns
    c->updateMask({5, 5, 1, 1});
    EXPECT_EQ(maskOf(*c), (std::vector<uint32_t>{0, 0xFFFFFFFF, 0, 0, 0xFFFFFFFF, 0xFC000000}));
    c->setPixel(69, 0, 0xFFFFFFFF);
    EXPECT_EQ(maskOf(*c), (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0xF8000000, 0xFFFFFFFF,
                                                 0xFFFFFFFF, 0xFC000000}));
}

}  // namespace
}  // namespace tx
