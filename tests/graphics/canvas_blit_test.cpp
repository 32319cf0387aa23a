// Block copies: clipping, colour keys, overlapping self-copies and converting formats.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "canvas_test_util.h"
#include "host_canvas.h"

namespace tx {
namespace {

// Every pixel a different colour.
void paintPattern(HostCanvas& c, uint32_t seed) {
    for (int32_t y = 0; y < c.getHeight(); ++y)
        for (int32_t x = 0; x < c.getWidth(); ++x)
            c.setPixelFast(
                x, y,
                (seed + static_cast<uint32_t>(x) * 0x010307 + static_cast<uint32_t>(y) * 0x0B0D11) |
                    0x01);
}

// Pixel by pixel: a destination pixel receives the source pixel it lines up with when it lies
// in the viewport and its source pixel lies in both the source rectangle and the source.
TEST(BlitTest, ClipsToTheViewportAndTheSourceBoundsLikeAPixelByPixelModel) {
    std::mt19937 rng(99);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 400; ++round) {
        const PixelFormat format = round % 2 ? PixelFormat::rgb565() : PixelFormat::xrgb8888();
        auto src = test::makeCanvas(pick(1, 12), pick(1, 12), format);
        auto dst = test::makeCanvas(14, 12, format);
        paintPattern(*src, static_cast<uint32_t>(round) << 8);
        const int32_t vx = pick(-3, 10), vy = pick(-3, 10);
        dst->setViewport(vx, vy, pick(0, 16), pick(0, 14));
        dst->setOrigin(pick(-4, 4), pick(-4, 4));
        src->setHandle(pick(-3, 3), pick(-3, 3));
        const int32_t dx = pick(-8, 16), dy = pick(-8, 14), sx = pick(-6, 12), sy = pick(-6, 12);
        const int32_t w = pick(-1, 16), h = pick(-1, 16);
        dst->blit(dx, dy, *src, sx, sy, w, h, true);

        const Rect view = dst->getViewport();
        const int32_t ox = dx + dst->getOrigin().x - src->getHandle().x;
        const int32_t oy = dy + dst->getOrigin().y - src->getHandle().y;
        for (int32_t y = 0; y < 12; ++y) {
            for (int32_t x = 0; x < 14; ++x) {
                const int32_t u = x - ox + sx, v = y - oy + sy;
                const bool copied = view.contains(x, y) && x >= ox && x < ox + w && y >= oy &&
                                    y < oy + h && src->bounds().contains(u, v);
                const uint32_t want = copied ? src->getPixelFast(u, v) : 0xFF000000;
                ASSERT_EQ(dst->getPixelFast(x, y), want)
                    << "round " << round << " at " << x << "," << y;
            }
        }
    }
}

// A self-copy moved by (dx, dy) against the same copy taken from an untouched duplicate.
void expectSelfCopyLikeCopyingTheSourceFirst(const PixelFormat& format, int32_t width,
                                             int32_t height, const Rect& from, int32_t dx,
                                             int32_t dy, bool solid) {
    auto c = test::makeCanvas(width, height, format);
    auto snapshot = test::makeCanvas(width, height, format);
    auto expected = test::makeCanvas(width, height, format);
    paintPattern(*c, 0x2000);
    // A band of mask-coloured pixels, so the keyed copy has holes.
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = y % 3; x < width; x += 3) c->setPixelFast(x, y, 0xFF000000);
    for (HostCanvas* other : {snapshot.get(), expected.get()})
        other->blit(0, 0, *c, 0, 0, width, height, true);
    const int32_t w = from.width(), h = from.height();
    expected->blit(from.x0 + dx, from.y0 + dy, *snapshot, from.x0, from.y0, w, h, solid);
    c->blit(from.x0 + dx, from.y0 + dy, *c, from.x0, from.y0, w, h, solid);
    EXPECT_EQ(test::values(*c), test::values(*expected))
        << "by " << dx << "," << dy << (solid ? " solid " : " keyed ") << format.depth() << " bits";
}

// Every direction and none; rows longer than the stage the keyed sideways copy goes through.
TEST(BlitTest, OverlappingSelfCopiesActAsIfTheSourceWereCopiedFirst) {
    const int32_t moves[][2] = {{3, 0},   {-3, 0}, {0, 2},  {0, -2}, {2, 1},
                                {-1, -3}, {-4, 1}, {5, -1}, {0, 0}};
    for (const PixelFormat& format :
         {PixelFormat::rgb565(), PixelFormat::rgb888(), PixelFormat::xrgb8888()}) {
        for (bool solid : {true, false}) {
            for (const auto& [dx, dy] : moves)
                expectSelfCopyLikeCopyingTheSourceFirst(format, 40, 20, {6, 5, 30, 14}, dx, dy,
                                                        solid);
            for (const int32_t dx : {7, -5})
                expectSelfCopyLikeCopyingTheSourceFirst(format, 1200, 3, {5, 0, 1190, 3}, dx, 0,
                                                        solid);
        }
    }
}

// A keyed copy skips the mask colour, ignoring bits outside the format's channels (here an
// unused top byte written directly), into its own format or converted into another.
TEST(BlitTest, KeyedCopiesIgnoreBitsOutsideTheChannelsAndConvertOtherFormats) {
    auto src = test::makeCanvas(3, 1, PixelFormat::xrgb8888());
    const uint32_t raw[3] = {0x00FFFFFF, 0xAA000000, 0xAA123456};
    std::memcpy(src->bits(), raw, sizeof raw);
    auto same = test::makeCanvas(3, 1, PixelFormat::xrgb8888());
    same->blit(0, 0, *src, 0, 0, 3, 1, false);
    EXPECT_EQ(test::values(*same), (std::vector<uint32_t>{0x00FFFFFF, 0, 0xAA123456}));
    auto other = test::makeCanvas(3, 1, PixelFormat::rgb565());
    other->setClsColor(0xFF0000FF);
    other->cls();
    other->blit(0, 0, *src, 0, 0, 3, 1, false);
    EXPECT_EQ(test::values(*other), (std::vector<uint32_t>{0xFFFF, 0x001F, 0x11AA}));
}

}  // namespace
}  // namespace tx
