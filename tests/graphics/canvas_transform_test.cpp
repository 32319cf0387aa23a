// The transform against a reference written here straight from its formulas: for a handful of
// matrices, pivots and both sampling modes, every pixel, the size and the handle of the result
// must match. The source has an origin and a viewport, so reads outside it take the mask colour.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "canvas_test_util.h"
#include "canvas_transform.h"

namespace tx {
namespace {

using test::makeCanvas;

// The pixel at (sx, sy) of the source, read through getPixel: the one it falls in, or the
// four around it weighed by nearness on both axes; alpha 0.
uint32_t sample(const HostCanvas& source, float sx, float sy, bool filter) {
    const auto at = [&](float x, float y) {
        return source.getPixel(static_cast<int32_t>(x), static_cast<int32_t>(y));
    };
    if (!filter) return at(std::floor(sx), std::floor(sy));
    const float x0 = std::floor(sx - 0.5f), y0 = std::floor(sy - 0.5f);
    const float fx = (sx - 0.5f) - x0, fy = (sy - 0.5f) - y0;
    const uint32_t p00 = at(x0, y0), p10 = at(x0 + 1, y0);
    const uint32_t p01 = at(x0, y0 + 1), p11 = at(x0 + 1, y0 + 1);
    uint32_t value = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const auto ch = [&](uint32_t p) { return static_cast<float>(p >> shift & 0xFF); };
        const float sum = ch(p11) * (fy * fx) + ch(p01) * ((1 - fx) * fy) +
                          ch(p10) * ((1 - fy) * fx) + ch(p00) * ((1 - fy) * (1 - fx)) + 0.5f;
        value |= static_cast<uint32_t>(static_cast<int32_t>(sum)) << shift;
    }
    return value;
}

TEST(CanvasTransform, EveryPixelMatchesTheReference) {
    // Turns as RotateImage makes them: 33 degrees, and a quarter turn inexact in single
    // precision.
    const struct {
        const char* name;
        float a, b, c, d;
    } matrices[] = {
        {"double", 2, 0, 0, 2},
        {"mirror", -1, 0, 0, 1},
        {"squash", 0.37f, 0, 0, 1.61f},
        {"shear", 1, 0.3f, -0.45f, 1},
        {"turn 33", 0.83867055f, 0.54463905f, -0.54463905f, 0.83867055f},
        {"turn 90", -4.371139e-8f, 1, -1, -4.371139e-8f},
    };
    for (const PixelFormat& format : {PixelFormat::xrgb8888(), PixelFormat::rgb565()}) {
        auto source = makeCanvas(23, 17, format);
        uint32_t seed = 99;
        for (int32_t y = 0; y < 17; ++y)
            for (int32_t x = 0; x < 23; ++x)
                source->setPixelFast(x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
        source->setMask(0x00336699);
        for (const Point pivot : {Point{0, 0}, Point{11, 8}, Point{-5, 30}}) {
            source->setHandle(pivot.x, pivot.y);
            // Reads go through the origin and stop at the viewport.
            source->setOrigin(pivot.x == 11 ? 1 : 0, 0);
            source->setViewport(0, 0, pivot.x == 11 ? 20 : 23, 17);
            const float hx = static_cast<float>(pivot.x), hy = static_cast<float>(pivot.y);
            for (const auto& [name, a, b, c, d] : matrices) {
                // The source's corners about the pivot, transformed; the box around them,
                // widened to whole pixels, is the result, the pivot at its handle.
                const float xs[4] = {-hx, 23 - hx, 23 - hx, -hx},
                            ys[4] = {-hy, -hy, 17 - hy, 17 - hy};
                float lowX = INFINITY, lowY = INFINITY, highX = -INFINITY, highY = -INFINITY;
                for (int k = 0; k < 4; ++k) {
                    lowX = std::fmin(lowX, a * xs[k] + c * ys[k]);
                    highX = std::fmax(highX, a * xs[k] + c * ys[k]);
                    lowY = std::fmin(lowY, b * xs[k] + d * ys[k]);
                    highY = std::fmax(highY, b * xs[k] + d * ys[k]);
                }
                const float minX = std::floor(lowX), minY = std::floor(lowY);
                const float inv = 1.0f / (a * d - c * b);
                const float ia = d * inv, ic = -(c * inv), ib = -(b * inv), id = a * inv;
                for (const bool filter : {false, true}) {
                    SCOPED_TRACE(std::string(name) + (filter ? " filtered" : " nearest") +
                                 " pivot " + std::to_string(pivot.x) + " depth " +
                                 std::to_string(format.depth()));
                    const auto plan = planTransform(23, 17, {a, b, c, d}, pivot.x, pivot.y);
                    ASSERT_TRUE(plan.has_value());
                    ASSERT_EQ(plan->width, static_cast<int32_t>(std::ceil(highX) - minX));
                    ASSERT_EQ(plan->height, static_cast<int32_t>(std::ceil(highY) - minY));
                    auto dest = makeCanvas(plan->width, plan->height, format);
                    renderTransform(*plan, *source, *dest, filter);
                    EXPECT_EQ(dest->getHandle(),
                              (Point{static_cast<int32_t>(-minX), static_cast<int32_t>(-minY)}));
                    EXPECT_EQ(dest->getMask(), source->getMask());
                    // Each result pixel's centre, mapped back into the source.
                    int wrong = 0;
                    for (int32_t j = 0; j < plan->height; ++j) {
                        for (int32_t i = 0; i < plan->width; ++i) {
                            const float xp = minX + 0.5f + static_cast<float>(i);
                            const float yp = minY + 0.5f + static_cast<float>(j);
                            const uint32_t want = sample(*source, (ia * xp + ic * yp) + hx,
                                                         (ib * xp + id * yp) + hy, filter);
                            wrong +=
                                dest->getPixelFast(i, j) != format.toARGB(format.fromARGB(want));
                        }
                    }
                    EXPECT_EQ(wrong, 0);
                }
            }
        }
    }
}

}  // namespace
}  // namespace tx
