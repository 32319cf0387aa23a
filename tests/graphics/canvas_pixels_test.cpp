#include <gtest/gtest.h>

#include <cstdint>

#include "canvas_test_util.h"
#include "host_canvas.h"

namespace tx {
namespace {

TEST(CanvasTest, CreationChecksTheSizeAndStartsBlackWithDefaultState) {
    EXPECT_EQ(HostCanvas::create(0, 10, PixelFormat::xrgb8888()), nullptr);
    EXPECT_EQ(HostCanvas::create(10, -1, PixelFormat::xrgb8888()), nullptr);
    EXPECT_EQ(HostCanvas::create(HostCanvas::kMaxSide + 1, 1, PixelFormat::xrgb8888()), nullptr);

    auto c = test::makeCanvas(33, 7, PixelFormat::rgb565());
    EXPECT_EQ(c->getWidth(), 33);
    EXPECT_EQ(c->getHeight(), 7);
    EXPECT_EQ(c->getDepth(), 16);
    EXPECT_EQ(c->maskStride(), 2);
    EXPECT_GE(c->pitch(), 66);
    EXPECT_EQ(c->pitch() % 64, 0);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(c->pixels()) % 64, 0u);
    EXPECT_EQ(c->getViewport(), (Rect{0, 0, 33, 7}));
    EXPECT_EQ(c->getColor(), 0xFFF8FCF8u);  // white as 565 holds it
    EXPECT_EQ(c->colorARGB(), 0xFFFFFFFFu);
    EXPECT_EQ(c->getClsColor(), 0xFF000000u);
    EXPECT_EQ(c->getMask(), 0xFF000000u);
    EXPECT_EQ(c->getOrigin(), (Point{0, 0}));
    EXPECT_EQ(c->getHandle(), (Point{0, 0}));
    EXPECT_FALSE(c->hasMask());
    EXPECT_EQ(c->presentStamp(), 0u);
    EXPECT_EQ(test::art(*c).find('#'), std::string::npos);
}

TEST(CanvasTest, ViewportIsClippedToTheBoundsOrEmpty) {
    auto c = test::makeCanvas(20, 10);
    c->setViewport(-5, 2, 10, 20);
    EXPECT_EQ(c->getViewport(), (Rect{0, 2, 5, 10}));
    c->setViewport(25, 0, 10, 10);
    EXPECT_EQ(c->getViewport(), (Rect{}));
    c->setViewport(3, 3, 0, 4);
    EXPECT_EQ(c->getViewport(), (Rect{}));
    c->setViewport(2147483600, 0, 100, 5);  // the far edge wraps: empty
    EXPECT_EQ(c->getViewport(), (Rect{}));
}

TEST(CanvasTest, AViewportOutsideTheCanvasReadsTheMaskColourAndWritesNothing) {
    auto c = test::makeCanvas(20, 10);
    c->setMask(0x00123456);
    c->setViewport(30, 30, 5, 5);
    c->setPixel(0, 0, 0xFFFFFFFF);
    c->setPixel(31, 31, 0xFFFFFFFF);
    EXPECT_EQ(c->getPixel(0, 0), 0xFF123456u);
    EXPECT_EQ(c->getPixel(31, 31), 0xFF123456u);
    EXPECT_EQ(test::art(*c).find('#'), std::string::npos);
    EXPECT_EQ(c->presentStamp(), 0u);
}

TEST(CanvasTest, ClippedPixelAccessAddsTheOriginFastAccessDoesNot) {
    auto c = test::makeCanvas(30, 30);
    c->setPixelFast(12, 13, 0x00ABCDEF);
    c->setOrigin(10, 10);
    EXPECT_EQ(c->getPixel(2, 3), 0xFFABCDEFu);
    EXPECT_EQ(c->getPixelFast(12, 13), 0xFFABCDEFu);
    EXPECT_EQ(c->getPixelFast(2, 3), 0xFF000000u);
    c->setPixel(-10, -10, 0xFF00FF00);
    EXPECT_EQ(c->getPixelFast(0, 0), 0xFF00FF00u);
    c->setViewport(5, 5, 10, 10);
    c->setPixel(-6, 0, 0xFFFFFFFF);  // canvas (4, 10): left of the viewport
    EXPECT_EQ(c->getPixelFast(4, 10), 0xFF000000u);
    EXPECT_EQ(c->getPixel(-6, 0), c->getMask());
}

TEST(CanvasTest, WrittenColoursReadBackAsTheSurfaceHoldsThem) {
    struct Case {
        PixelFormat format;
        uint32_t back;
    } cases[] = {{PixelFormat::rgb565(), 0xFFF8FCF8},
                 {PixelFormat::rgb555(), 0xFFF8F8F8},
                 {PixelFormat::rgb888(), 0xFFFFFFFF},
                 {PixelFormat::xrgb8888(), 0xFFFFFFFF}};
    for (const Case& k : cases) {
        auto c = test::makeCanvas(4, 4, k.format);
        c->setPixel(1, 2, 0xFFFFFFFF);
        EXPECT_EQ(c->getPixel(1, 2), k.back) << k.format.depth();
    }
    // Alpha is kept only by a surface with an alpha mask.
    auto x = test::makeCanvas(2, 2, PixelFormat::xrgb8888());
    x->setPixel(0, 0, 0x12345678);
    EXPECT_EQ(x->getPixel(0, 0), 0xFF345678u);
    auto a = test::makeCanvas(2, 2, PixelFormat::argb8888());
    a->setPixel(0, 0, 0x12345678);
    EXPECT_EQ(a->getPixel(0, 0), 0x12345678u);
}

TEST(CanvasTest, ColoursForceAlphaAndAnswerTheStoredValue) {
    auto c = test::makeCanvas(4, 4, PixelFormat::xrgb8888());
    // Color 300, 0, 0: the unmasked red reaches bit 24, red reads 44.
    const uint32_t color = ((300u << 8) | 0u) << 8 | 0u;
    c->setColor(color);
    EXPECT_EQ(c->colorARGB(), 0xFF2C0000u);
    EXPECT_EQ((c->getColor() >> 16) & 0xFF, 44u);

    auto s = test::makeCanvas(4, 4, PixelFormat::rgb565());
    s->setColor(0x00FFFFFF);
    EXPECT_EQ(s->getColor(), 0xFFF8FCF8u);
    EXPECT_EQ(s->colorValue(), 0xFFFFu);
    s->setClsColor(0x00102030);
    EXPECT_EQ(s->getClsColor(), 0xFF102030u);
    s->setMask(0x00FF00FF);
    EXPECT_EQ(s->maskValue(), 0xF81Fu);
    EXPECT_EQ(s->getMask(), 0xFFF800F8u);
}

TEST(CanvasTest, FastAccessOutsideTheCanvasIsIgnored) {
    auto c = test::makeCanvas(8, 8);
    c->setMask(0x00010203);
    for (auto [x, y] : {std::pair{-1, 0}, {8, 0}, {0, 8}, {0, -1}, {1 << 30, 1 << 30}}) {
        c->setPixelFast(x, y, 0xFFFFFFFF);
        EXPECT_EQ(c->getPixelFast(x, y), 0xFF010203u);
    }
    EXPECT_EQ(test::art(*c).find('#'), std::string::npos);
    EXPECT_EQ(c->presentStamp(), 0u);
}

TEST(CanvasTest, LocksNestAndUnlockingAnUnlockedCanvasDoesNothing) {
    auto c = test::makeCanvas(8, 8);
    c->unlock();
    EXPECT_EQ(c->lockCount(), 0);
    c->setPixelFast(0, 0, 1);
    c->lock();
    EXPECT_EQ(c->stampAtLock(), 1u);
    c->lock();
    c->setPixelFast(1, 0, 1);
    c->unlock();
    EXPECT_TRUE(c->isLocked());
    EXPECT_EQ(c->stampAtLock(), 1u);
    c->unlock();
    EXPECT_FALSE(c->isLocked());
    c->unlock();
    EXPECT_EQ(c->lockCount(), 0);
}

TEST(CanvasTest, EveryDrawingOperationAdvancesTheStampRawCopiesDoNot) {
    auto c = test::makeCanvas(16, 16);
    auto other = test::makeCanvas(16, 16);
    uint32_t stamp = c->presentStamp();
    auto advanced = [&](uint32_t by) {
        const uint32_t now = c->presentStamp();
        EXPECT_EQ(now - stamp, by);
        stamp = now;
    };
    c->cls();
    advanced(1);
    c->plot(1, 1);
    advanced(1);
    c->rect(0, 0, 4, 4, true);
    advanced(1);
    c->rect(0, 0, 4, 4, false);
    advanced(1);
    c->oval(0, 0, 6, 6, true);
    advanced(1);
    c->blit(0, 0, *other, 0, 0, 4, 4, true);
    advanced(1);
    c->setPixel(2, 2, 0);
    advanced(1);
    c->setPixelFast(2, 2, 0);
    advanced(1);
    c->line(0, 0, 9, 3);  // ten pixels
    advanced(10);
    c->line(5, 5, 5, 5);
    advanced(1);
    c->markDrawn({0, 0, 2, 2});
    advanced(1);
    c->copyPixel(0, 0, *other, 1, 1);
    c->copyPixelFast(0, 0, *other, 1, 1);
    c->plot(-1, -1);
    c->rect(20, 20, 2, 2, true);
    c->blit(20, 0, *other, 0, 0, 4, 4, true);
    advanced(0);
}

TEST(CanvasTest, PixelCopiesMoveRawBytesWithinViewports) {
    auto src = test::makeCanvas(8, 8, PixelFormat::rgb565());
    auto dst = test::makeCanvas(8, 8, PixelFormat::rgb565());
    src->setPixelFast(3, 4, 0xFF123456);
    src->setOrigin(1, 1);
    dst->setOrigin(2, 0);
    dst->copyPixel(0, 0, *src, 2, 3);  // dst (2, 0) <- src (3, 4)
    EXPECT_EQ(dst->getPixelFast(2, 0), src->getPixelFast(3, 4));
    src->setViewport(0, 0, 3, 3);
    dst->copyPixel(1, 1, *src, 2, 3);  // source point outside its viewport
    EXPECT_EQ(dst->getPixelFast(3, 1), 0xFF000000u);
    dst->copyPixelFast(7, 7, *src, 3, 4);
    EXPECT_EQ(dst->format().loadValue(dst->pixelAddress(7, 7)),
              src->format().loadValue(src->pixelAddress(3, 4)));
    dst->copyPixelFast(8, 0, *src, 3, 4);  // outside: ignored
    dst->copyPixelFast(0, 0, *src, -1, 4);
    EXPECT_EQ(dst->getPixelFast(0, 0), 0xFF000000u);

    // A canvas of another pixel size gets the colour converted.
    auto wide = test::makeCanvas(2, 2, PixelFormat::xrgb8888());
    wide->copyPixelFast(0, 0, *src, 3, 4);
    EXPECT_EQ(wide->getPixelFast(0, 0), src->getPixelFast(3, 4));
}

TEST(CanvasTest, SharingCanvasesSeeTheSamePixelsWithStateOfTheirOwn) {
    auto front = test::makeCanvas(10, 10);
    auto back = HostCanvas::createSharing(*front);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->sharesPixelsWith(*front));
    back->setOrigin(3, 3);
    back->plot(0, 0);
    EXPECT_EQ(front->getPixel(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(front->getOrigin(), (Point{0, 0}));
    EXPECT_EQ(back->presentStamp(), 1u);
    EXPECT_EQ(front->presentStamp(), 0u);
    front.reset();  // the pixels live on with the other canvas
    EXPECT_EQ(back->getPixelFast(3, 3), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace tx
