// Text on a canvas: the run of a string that reaches into the viewport, handed to the font.
#include <cstdint>
#include <string_view>

#include "host_canvas.h"
#include "host_font.h"

namespace tx {

void HostCanvas::text(int32_t x, int32_t y, std::string_view s) {
    if (font_ == nullptr) return;
    // Tests in 64 bits: a position near the ends of the 32-bit range must not wrap into view.
    const int64_t top = int64_t{y} + origin_.y;
    if (top >= viewport_.y1 || top + font_->getHeight() <= viewport_.y0) return;
    int64_t left = int64_t{x} + origin_.x;
    if (left >= viewport_.x1) return;

    // Characters wholly left of the viewport are skipped; the run ends with the first character
    // that starts at or beyond its right edge.
    size_t first = 0;
    int64_t start = x;
    while (first < s.size()) {
        const int32_t w = font_->charWidth(static_cast<uint8_t>(s[first]));
        if (left + w > viewport_.x0) break;
        left += w;
        start += w;
        ++first;
    }
    if (first == s.size()) return;
    size_t end = first;
    while (end < s.size() && left < viewport_.x1) {
        left += font_->charWidth(static_cast<uint8_t>(s[end]));
        ++end;
    }
    font_->render(*this, getColor(), static_cast<int32_t>(start), y, s.substr(first, end - first));
}

}  // namespace tx
