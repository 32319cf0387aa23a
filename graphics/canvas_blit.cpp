// The block copy: clipping against the destination's viewport and the source's bounds, then
// whole rows through the kernels, solid or skipping the source's mask colour.
#include <cstring>

#include "host_canvas.h"
#include "pixel_codecs.h"
#include "pixel_kernels.h"

namespace tx {
namespace {

// Rectangles in 64 bits while clipping, so moving edges never overflows.
struct Box {
    int64_t x0, y0, x1, y1;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

// Clips `clipped` to `limit`, moving the matching edges of `other` by the same amounts.
// False when nothing is left.
bool clipPair(Box& clipped, Box& other, const Rect& limit) {
    if (clipped.x0 < limit.x0) {
        other.x0 += limit.x0 - clipped.x0;
        clipped.x0 = limit.x0;
    }
    if (clipped.y0 < limit.y0) {
        other.y0 += limit.y0 - clipped.y0;
        clipped.y0 = limit.y0;
    }
    if (clipped.x1 > limit.x1) {
        other.x1 -= clipped.x1 - limit.x1;
        clipped.x1 = limit.x1;
    }
    if (clipped.y1 > limit.y1) {
        other.y1 -= clipped.y1 - limit.y1;
        clipped.y1 = limit.y1;
    }
    return !clipped.empty();
}

Box toBox(const Rect& r) {
    return {r.x0, r.y0, r.x1, r.y1};
}

// Same-row copies are staged through this many bytes on the stack.
constexpr int32_t kStageBytes = 1536;

}  // namespace

void HostCanvas::blit(int32_t dx, int32_t dy, const HostCanvas& source, int32_t sx, int32_t sy,
                      int32_t width, int32_t height, bool solid) {
    const Rect dRect =
        Rect::sized(wrapSub(wrapAdd(dx, origin_.x), source.handle_.x),
                    wrapSub(wrapAdd(dy, origin_.y), source.handle_.y), width, height);
    const Rect sRect = Rect::sized(sx, sy, width, height);
    if (dRect.empty() || sRect.empty()) return;
    Box d = toBox(dRect), s = toBox(sRect);
    if (!clipPair(d, s, viewport_) || !clipPair(s, d, source.bounds_) || d.empty()) return;

    const Rect area{static_cast<int32_t>(d.x0), static_cast<int32_t>(d.y0),
                    static_cast<int32_t>(d.x1), static_cast<int32_t>(d.y1)};
    const int32_t w = area.width(), rows = area.height();
    const int32_t srcX = static_cast<int32_t>(s.x0), srcY = static_cast<int32_t>(s.y0);
    const uint32_t keyBits = source.format_.valueBits();
    const uint32_t key = source.maskColor_ & keyBits;

    if (!(source.format_ == format_)) {
        // Canvases of one display share a format; any other pair is converted, with both
        // codecs chosen once for the whole copy.
        visitCodec(source.format_, [&](const auto from) {
            visitCodec(format_, [&](const auto to) {
                for (int32_t r = 0; r < rows; ++r) {
                    const uint8_t* in = source.pixelAddress(srcX, srcY + r);
                    uint8_t* out = pixelAddress(area.x0, area.y0 + r);
                    for (int32_t c = 0; c < w; ++c, in += from.kBytes, out += to.kBytes) {
                        const uint32_t value = from.load(in);
                        if (solid || (value & keyBits) != key)
                            to.storeARGB(out, from.toARGB(value));
                    }
                }
            });
        });
        drawn(area);
        return;
    }

    uint8_t* dst = pixelAddress(area.x0, area.y0);
    const uint8_t* src = source.pixelAddress(srcX, srcY);
    const Rect srcArea{srcX, srcY, srcX + w, srcY + rows};
    if (sharesPixelsWith(source) && !area.intersect(srcArea).empty()) {
        if (area.y0 == srcY) {
            blitOverlapping(dst, src, w, rows, area.x0 < srcX, solid, key, keyBits);
        } else if (area.y0 > srcY) {
            // Moving down: copy the rows bottom-up so no source row is overwritten first.
            const ptrdiff_t last = ptrdiff_t{rows - 1} * pitch_;
            if (solid) {
                ops_->copy(dst + last, -pitch_, src + last, -pitch_, w, rows);
            } else {
                ops_->copyKeyed(dst + last, -pitch_, src + last, -pitch_, w, rows, key, keyBits);
            }
        } else if (solid) {
            ops_->copy(dst, pitch_, src, pitch_, w, rows);
        } else {
            ops_->copyKeyed(dst, pitch_, src, pitch_, w, rows, key, keyBits);
        }
    } else if (solid) {
        ops_->copy(dst, pitch_, src, source.pitch_, w, rows);
    } else {
        ops_->copyKeyed(dst, pitch_, src, source.pitch_, w, rows, key, keyBits);
    }
    drawn(area);
}

// Source and destination rows are the same rows, shifted sideways. Solid rows move with
// memmove; keyed rows go through a stack stage, chunk by chunk, starting at the end the copy
// moves away from, so no chunk reads pixels an earlier chunk wrote.
void HostCanvas::blitOverlapping(uint8_t* dst, const uint8_t* src, int32_t width, int32_t rows,
                                 bool leftward, bool solid, uint32_t key, uint32_t keyBits) {
    const int32_t bpp = format_.bytesPerPixel();
    if (solid) {
        for (int32_t r = 0; r < rows; ++r)
            std::memmove(dst + r * pitch_, src + r * pitch_, static_cast<size_t>(width) * bpp);
        return;
    }
    alignas(64) uint8_t stage[kStageBytes];
    const int32_t chunk = kStageBytes / bpp;
    for (int32_t r = 0; r < rows; ++r) {
        uint8_t* to = dst + r * pitch_;
        const uint8_t* from = src + r * pitch_;
        for (int32_t done = 0; done < width; done += chunk) {
            const int32_t n = std::min(chunk, width - done);
            const int32_t at = leftward ? done : width - done - n;
            std::memcpy(stage, from + at * bpp, static_cast<size_t>(n) * bpp);
            ops_->copyKeyed(to + at * bpp, 0, stage, 0, n, 1, key, keyBits);
        }
    }
}

}  // namespace tx
