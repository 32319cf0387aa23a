// Text on a canvas: the run of a string that reaches into the viewport. The font's one-bit glyph
// rows are gathered, glyph by glyph, into stripes 64 columns wide, and each stripe is stippled
// into the pixels in the text colour by the canvas's kernels.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "host_canvas.h"
#include "host_font.h"
#include "pixel_kernels.h"

namespace tx {
namespace {

// Rows drawn per pass over the string.
constexpr int32_t kBlockRows = 64;

// The rows of a block as bits, gathered glyph by glyph from left to right and handed to the
// stipple kernel 64 columns at a time.
class StripePacker {
public:
    StripePacker(HostCanvas& canvas, const kernels::RowOps& ops, int32_t x, int32_t y, int32_t rows,
                 uint32_t value)
        : canvas_(canvas), ops_(ops), x_(x), y_(y), rows_(rows), value_(value) {
        std::fill_n(acc_, rows, uint64_t{0});
    }

    // Appends m (1..64) columns; bits(r) gives row r's, in its low m bits.
    template <typename Bits>
    void append(int32_t m, Bits bits) {
        if (fill_ + m < 64) {
            for (int32_t r = 0; r < rows_; ++r) acc_[r] |= bits(r) << fill_;
            fill_ += m;
            return;
        }
        for (int32_t r = 0; r < rows_; ++r) acc_[r] |= bits(r) << fill_;
        emit(64);
        // The columns that did not fit start the next stripe.
        const int32_t used = 64 - fill_;
        for (int32_t r = 0; r < rows_; ++r) acc_[r] = used == 64 ? 0 : bits(r) >> used;
        fill_ = m - used;
    }
    // The same for a whole glyph of m (1..64) columns whose rows are one word each with nothing
    // set past its width, the common case: no mask or shift of its own per row, and pointers
    // the compiler may take as apart, which is what lets it vectorise the loops (append with a
    // plain row reader measured about a quarter slower).
    void appendWhole(int32_t m, const uint64_t* __restrict rows) {
        uint64_t* __restrict acc = acc_;
        const int32_t fill = fill_;
        for (int32_t r = 0; r < rows_; ++r) acc[r] |= rows[r] << fill;
        if (fill + m < 64) {
            fill_ = fill + m;
            return;
        }
        emit(64);
        const int32_t used = 64 - fill;
        for (int32_t r = 0; r < rows_; ++r) acc[r] = used == 64 ? 0 : rows[r] >> used;
        fill_ = m - used;
    }
    void finish() {
        if (fill_ > 0) emit(fill_);
    }

private:
    void emit(int32_t width) {
        ops_.stipple(canvas_.pixelAddress(x_, y_), canvas_.pitch(), acc_, width, rows_, value_);
        x_ += width;
    }

    HostCanvas& canvas_;
    const kernels::RowOps& ops_;
    int32_t x_, y_, rows_;
    uint32_t value_;
    int32_t fill_ = 0;          // columns in acc_
    uint64_t acc_[kBlockRows];  // rows_ of them in use
};

// Rows [r0, r0 + rows) of the glyphs of `s` (the first with its left edge at column `left`),
// clipped to the columns [x0, x1), into the packer.
// Built twice, for AVX2 and for the baseline, the loader choosing by the processor.
__attribute__((target_clones("avx2", "default"))) void packGlyphs(const HostFont& font,
                                                                  std::string_view s, int64_t left,
                                                                  int32_t r0, int32_t x0,
                                                                  int32_t x1,
                                                                  StripePacker& packer) {
    for (int64_t x = left; const char ch : s) {
        if (x >= x1) break;
        const auto c = static_cast<uint8_t>(ch);
        const int32_t w = font.charWidth(c);
        const int64_t from = std::max<int64_t>(x, x0), to = std::min<int64_t>(x + w, x1);
        if (from < to) {
            const int32_t words = HostFont::rowWords(w);
            const uint64_t* rows = font.glyphRows(c) + ptrdiff_t{r0} * words;
            const auto c0 = static_cast<int32_t>(from - x), n = static_cast<int32_t>(to - from);
            if (words == 1 && n == w) {
                packer.appendWhole(w, rows);
                x += w;
                continue;
            }
            for (int32_t j = 0; j < n; j += 64) {
                const int32_t m = std::min(64, n - j);
                const uint64_t keep = m == 64 ? ~uint64_t{0} : (uint64_t{1} << m) - 1;
                const int32_t k = (c0 + j) / 64, shift = (c0 + j) % 64;
                if (words == 1) {
                    packer.append(m, [&](int32_t r) { return (rows[r] >> shift) & keep; });
                } else {
                    // A wide glyph: 64 columns may straddle two words of its row.
                    packer.append(m, [&](int32_t r) {
                        const uint64_t* row = rows + ptrdiff_t{r} * words;
                        uint64_t v = row[k] >> shift;
                        if (shift != 0 && k + 1 < words) v |= row[k + 1] << (64 - shift);
                        return v & keep;
                    });
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

    // Text in black comes out in near-black (0x000010), as it always has: black is the
    // transparent colour of masked copies, so black text would vanish when copied on.
    uint32_t value = color_;
    if ((format_.toARGB(value) & 0xFFFFFF) == 0) value = format_.fromARGB(0xFF000010u);
    const std::string_view run = s.substr(first, end - first);
    for (int32_t y0 = area.y0; y0 < area.y1; y0 += kBlockRows) {
        const int32_t rows = std::min(kBlockRows, area.y1 - y0);
        StripePacker packer(*this, *ops_, area.x0, y0, rows, value);
        packGlyphs(*font_, run, runLeft, static_cast<int32_t>(y0 - top), area.x0, area.x1, packer);
        packer.finish();
    }
    drawn(area);
}

}  // namespace tx
