// The transform's arithmetic stays in single precision, in the order written here (the library
// is built without fused multiply-adds), so results are exact to the pixel.
#include "canvas_transform.h"

#include <algorithm>
#include <cmath>

#include "pixel_codecs.h"

namespace tx {
namespace {

bool finite(float v) {
    return std::isfinite(v);
}

// trunc of a float that holds a whole number; values beyond the 32-bit range (never inside a
// canvas) become the smallest int, which lies outside every canvas.
int32_t wholeToInt(float v) {
    if (!(v >= -2147483648.0f && v < 2147483648.0f)) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// The source's pixels as getPixel reads them: the origin added, the viewport clipped, points
// outside reading as the mask colour. One codec for the whole transform.
template <typename Codec>
struct SourceReader {
    const HostCanvas& canvas;
    Codec codec;
    Rect viewport;
    Point origin;
    uint32_t outside;

    uint32_t at(int32_t x, int32_t y) const {
        x = wrapAdd(x, origin.x);
        y = wrapAdd(y, origin.y);
        if (!viewport.contains(x, y)) return outside;
        return codec.loadARGB(canvas.pixelAddress(x, y));
    }
};

float channel(uint32_t argb, int shift) {
    return static_cast<float>((argb >> shift) & 0xFF);
}

// Bilinear sample around (x, y) in pixel-centre coordinates; alpha 0.
template <typename Reader>
uint32_t sampleBilinear(const Reader& source, float x, float y) {
    if (!finite(x) || !finite(y)) return source.outside & 0x00FFFFFFu;
    x = x - 0.5f;
    y = y - 0.5f;
    const float fx0 = std::floor(x), fy0 = std::floor(y);
    const int32_t ix = wholeToInt(fx0), iy = wholeToInt(fy0);
    const float fx = x - fx0, fy = y - fy0;
    const int32_t ix1 = wrapAdd(ix, 1), iy1 = wrapAdd(iy, 1);
    const uint32_t p00 = source.at(ix, iy), p10 = source.at(ix1, iy);
    const uint32_t p11 = source.at(ix1, iy1), p01 = source.at(ix, iy1);
    const float w00 = (1.0f - fy) * (1.0f - fx);
    const float w10 = (1.0f - fy) * fx;
    const float w01 = (1.0f - fx) * fy;
    const float w11 = fy * fx;
    uint32_t out = 0;
    for (const int shift : {16, 8, 0}) {
        const float sum = channel(p11, shift) * w11 + channel(p01, shift) * w01 +
                          channel(p10, shift) * w10 + channel(p00, shift) * w00 + 0.5f;
        out |= static_cast<uint32_t>(static_cast<int32_t>(sum)) << shift;
    }
    return out;
}

template <typename Reader>
uint32_t sampleNearest(const Reader& source, float x, float y) {
    if (!finite(x) || !finite(y)) return source.outside;
    return source.at(wholeToInt(std::floor(x)), wholeToInt(std::floor(y)));
}

}  // namespace

std::optional<TransformPlan> planTransform(int32_t width, int32_t height, const Affine& m,
                                           int32_t pivotX, int32_t pivotY) {
    const float det = m.a * m.d - m.c * m.b;
    if (!finite(det) || det == 0.0f) return std::nullopt;
    const float inv = 1.0f / det;
    TransformPlan plan;
    plan.ia = m.d * inv;
    plan.ic = -(m.c * inv);
    plan.ib = -(m.b * inv);
    plan.id = m.a * inv;
    if (!finite(plan.ia) || !finite(plan.ib) || !finite(plan.ic) || !finite(plan.id))
        return std::nullopt;

    const float hx = static_cast<float>(pivotX), hy = static_cast<float>(pivotY);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const float cornerX[4] = {-hx, w - hx, w - hx, -hx};
    const float cornerY[4] = {-hy, -hy, h - hy, h - hy};
    float lowX = 0, lowY = 0, highX = 0, highY = 0;
    for (int i = 0; i < 4; ++i) {
        const float x = m.a * cornerX[i] + m.c * cornerY[i];
        const float y = m.b * cornerX[i] + m.d * cornerY[i];
        lowX = i == 0 ? x : std::min(lowX, x);
        highX = i == 0 ? x : std::max(highX, x);
        lowY = i == 0 ? y : std::min(lowY, y);
        highY = i == 0 ? y : std::max(highY, y);
    }
    const float minX = std::floor(lowX), minY = std::floor(lowY);
    const float spanX = std::ceil(highX) - minX, spanY = std::ceil(highY) - minY;
    constexpr auto kMax = static_cast<float>(CanvasPixels::kMaxSide);
    // Also false for infinities and NaN.
    if (!(spanX >= 1.0f && spanX <= kMax && spanY >= 1.0f && spanY <= kMax)) return std::nullopt;
    if (!(minX > -2147483648.0f && minY > -2147483648.0f && minX <= 2147483647.0f &&
          minY <= 2147483647.0f))
        return std::nullopt;
    plan.width = static_cast<int32_t>(spanX);
    plan.height = static_cast<int32_t>(spanY);
    plan.minX = minX;
    plan.minY = minY;
    plan.handle = {static_cast<int32_t>(-minX), static_cast<int32_t>(-minY)};
    plan.pivotX = hx;
    plan.pivotY = hy;
    return plan;
}

void renderTransform(const TransformPlan& plan, const HostCanvas& source, HostCanvas& dest,
                     bool filter) {
    dest.setHandle(plan.handle.x, plan.handle.y);
    dest.setMask(source.getMask());
    visitCodec(source.format(), [&](const auto from) {
        visitCodec(dest.format(), [&](const auto to) {
            using Reader = SourceReader<decltype(from)>;
            const Reader reader{source, from, source.getViewport(), source.getOrigin(),
                                source.getMask()};
            float yp = plan.minY + 0.5f;
            for (int32_t j = 0; j < plan.height; ++j, yp += 1.0f) {
                uint8_t* out = dest.pixelAddress(0, j);
                float xp = plan.minX + 0.5f;
                for (int32_t i = 0; i < plan.width; ++i, xp += 1.0f, out += to.kBytes) {
                    const float x = plan.ia * xp + plan.ic * yp;
                    const float y = plan.ib * xp + plan.id * yp;
                    const float sx = x + plan.pivotX, sy = y + plan.pivotY;
                    to.storeARGB(out, filter ? sampleBilinear(reader, sx, sy)
                                             : sampleNearest(reader, sx, sy));
                }
            }
        });
    });
    dest.markDrawn(dest.bounds());
}

}  // namespace tx
