#include "host_font.h"

#include <algorithm>
#include <utility>

namespace tx {

std::unique_ptr<HostFont> HostFont::create(Glyphs glyphs) {
    const size_t count = static_cast<size_t>(std::max(0, glyphs.endChar - glyphs.firstChar));
    if (glyphs.sheet == nullptr || count == 0 || glyphs.cells.size() != count ||
        glyphs.widths.size() != count || glyphs.height < 1 ||
        glyphs.defaultChar < glyphs.firstChar || glyphs.defaultChar >= glyphs.endChar)
        return nullptr;
    const Rect sheet = glyphs.sheet->bounds();
    for (size_t i = 0; i < count; ++i) {
        const int64_t x = glyphs.cells[i] >> 16, y = glyphs.cells[i] & 0xFFFF;
        if (glyphs.widths[i] < 0 || x + glyphs.widths[i] > sheet.x1 || y + glyphs.height > sheet.y1)
            return nullptr;
    }
    return std::make_unique<HostFont>(Key(), std::move(glyphs));
}

HostFont::HostFont(Key, Glyphs glyphs) : glyphs_(std::move(glyphs)) {
    const HostCanvas& sheet = *glyphs_.sheet;
    const PixelFormat& format = sheet.format();
    const uint32_t keyBits = format.valueBits();
    const uint32_t white = format.fromARGB(0xFFFFFF) & keyBits;
    const int32_t height = glyphs_.height;
    size_t total = 0;
    for (const int32_t w : glyphs_.widths) total += static_cast<size_t>(rowWords(w)) * height;
    bits_.assign(total, 0);
    std::vector<size_t> bitsAt(glyphs_.widths.size());
    size_t at = 0;
    for (size_t i = 0; i < glyphs_.widths.size(); ++i) {
        bitsAt[i] = at;
        const int32_t w = glyphs_.widths[i];
        const auto cellX = static_cast<int32_t>(glyphs_.cells[i] >> 16);
        const auto cellY = static_cast<int32_t>(glyphs_.cells[i] & 0xFFFF);
        for (int32_t y = 0; y < height; ++y, at += static_cast<size_t>(rowWords(w))) {
            const uint8_t* row = sheet.pixelAddress(cellX, cellY + y);
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t value = format.loadValue(row + x * format.bytesPerPixel());
                if ((value & keyBits) == white) bits_[at + x / 64] |= uint64_t{1} << (x % 64);
            }
        }
    }
    for (int32_t c = 0; c < 256; ++c) {
        const size_t i = index(static_cast<uint8_t>(c));
        byByte_[c] = {bitsAt[i], glyphs_.widths[i]};
    }
}

int32_t HostFont::stringWidth(std::string_view s) const {
    int64_t width = 0;
    for (const char c : s) width += charWidth(static_cast<uint8_t>(c));
    return static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX));
}

}  // namespace tx
