// Text on a canvas: the run of a string that reaches into the viewport, drawn from the font's
// one-bit glyph rows straight into the pixels, one store per glyph pixel.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <string_view>

#include "host_canvas.h"
#include "host_font.h"
#include "pixel_codecs.h"

namespace tx {
namespace {

// The glyphs of `s`, the first with its left edge at column `left` and all with their top row
// at `top`, clipped to `clip` (not empty; within the canvas), stored as `value` at each set bit.
template <int Bytes>
void drawGlyphs(const HostFont& font, std::string_view s, int64_t left, int64_t top,
                const Rect& clip, uint8_t* pixels, ptrdiff_t pitch, uint32_t value) {
    const auto r0 = static_cast<int32_t>(clip.y0 - top);  // glyph rows drawn: [r0, r1)
    const auto r1 = static_cast<int32_t>(clip.y1 - top);
    uint8_t* const firstRow = pixels + clip.y0 * pitch;
    for (int64_t x = left; const char ch : s) {
        if (x >= clip.x1) break;
        const auto c = static_cast<uint8_t>(ch);
        const int32_t w = font.charWidth(c);
        const int64_t x0 = std::max<int64_t>(x, clip.x0), x1 = std::min<int64_t>(x + w, clip.x1);
        if (x0 < x1) {
            // Glyph columns drawn: [c0, c1); `at` is the pixel of column c0 in the first row.
            const auto c0 = static_cast<int32_t>(x0 - x), c1 = static_cast<int32_t>(x1 - x);
            const int32_t words = HostFont::rowWords(w);
            const uint64_t* rows = font.glyphRows(c) + ptrdiff_t{r0} * words;
            uint8_t* at = firstRow + x0 * Bytes;
            const int32_t k0 = c0 / 64, k1 = (c1 - 1) / 64;
            const uint64_t firstMask = ~uint64_t{0} << (c0 % 64);
            const uint64_t lastMask = ~uint64_t{0} >> (63 - (c1 - 1) % 64);
            for (int32_t r = r0; r < r1; ++r, rows += words, at += pitch) {
                for (int32_t k = k0; k <= k1; ++k) {
                    uint64_t m = rows[k];
                    if (k == k0) m &= firstMask;
                    if (k == k1) m &= lastMask;
                    const ptrdiff_t column = ptrdiff_t{64} * k - c0;  // of bit 0, from c0
                    for (; m != 0; m &= m - 1)
                        RawPixel<Bytes>::store(at + (column + std::countr_zero(m)) * Bytes, value);
                }
            }
        }
        x += w;
    }
}

}  // namespace

void HostCanvas::text(int32_t x, int32_t y, std::string_view s) {
    if (font_ == nullptr) return;
    // Tests in 64 bits: a position near the ends of the 32-bit range must not wrap into view.
    const int64_t top = int64_t{y} + origin_.y;
    const int64_t bottom = top + font_->getHeight();
    if (top >= viewport_.y1 || bottom <= viewport_.y0) return;
    int64_t left = int64_t{x} + origin_.x;
    if (left >= viewport_.x1) return;

    // Characters wholly left of the viewport are skipped; the run ends with the first character
    // that starts at or beyond its right edge.
    size_t first = 0;
    while (first < s.size()) {
        const int32_t w = font_->charWidth(static_cast<uint8_t>(s[first]));
        if (left + w > viewport_.x0) break;
        left += w;
        ++first;
    }
    if (first == s.size()) return;
    const int64_t runLeft = left;
    size_t end = first;
    while (end < s.size() && left < viewport_.x1) {
        left += font_->charWidth(static_cast<uint8_t>(s[end]));
        ++end;
    }
    const Rect area{static_cast<int32_t>(std::max<int64_t>(runLeft, viewport_.x0)),
                    static_cast<int32_t>(std::max<int64_t>(top, viewport_.y0)),
                    static_cast<int32_t>(std::min<int64_t>(left, viewport_.x1)),
                    static_cast<int32_t>(std::min<int64_t>(bottom, viewport_.y1))};
    if (area.empty()) return;

    // Black would not show against black in a keyed copy of the text, so text drawn in black
    // has always come out in this near-black; it stays that way.
    uint32_t value = color_;
    if ((format_.toARGB(value) & 0xFFFFFF) == 0) value = format_.fromARGB(0xFF000010u);
    const std::string_view run = s.substr(first, end - first);
    switch (format_.bytesPerPixel()) {
        case 2:
            drawGlyphs<2>(*font_, run, runLeft, top, area, bits_, pitch_, value);
            break;
        case 3:
            drawGlyphs<3>(*font_, run, runLeft, top, area, bits_, pitch_, value);
            break;
        default:
            drawGlyphs<4>(*font_, run, runLeft, top, area, bits_, pitch_, value);
            break;
    }
    drawn(area);
}

}  // namespace tx
