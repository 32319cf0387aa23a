// HostFont: a bitmap font made once from a face. Every character of its range sits in a cell of
// the glyph sheet (white glyph on black), and is also kept as one-bit rows, which is what text
// is drawn from: each set bit is stored straight into the target in the text colour.
//
// Characters are bytes 0 to 255; a byte outside the range is measured and drawn as the default
// character.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "host_canvas.h"

namespace tx {

class HostFont {
public:
    // What a loader makes of a face: the sheet and, for each character of [firstChar, endChar),
    // its cell ((x << 16) | y) and advance. Sheet pixels that are white (the sheet's value of
    // 0xFFFFFF) are glyph pixels; every other pixel is background.
    struct Glyphs {
        std::unique_ptr<HostCanvas> sheet;
        std::vector<uint32_t> cells;
        std::vector<int32_t> widths;
        int32_t maxWidth = 0;
        int32_t height = 0;
        int32_t firstChar = 0;
        int32_t endChar = 0;
        int32_t defaultChar = 0;  // inside the range
    };

    // A font over the glyphs; null when the glyphs are incomplete, a width is negative or a cell
    // reaches outside the sheet.
    static std::unique_ptr<HostFont> create(Glyphs glyphs);

    int32_t getWidth() const { return glyphs_.maxWidth; }
    int32_t getHeight() const { return glyphs_.height; }
    int32_t charWidth(uint8_t c) const { return byByte_[c].width; }
    int32_t stringWidth(std::string_view s) const;
    bool hasChar(uint8_t c) const { return glyphs_.firstChar <= c && c < glyphs_.endChar; }

    // The glyph of c as one-bit rows: getHeight() rows of rowWords(charWidth(c)) words each; bit
    // b of word k is column 64 * k + b, set for a glyph pixel. Columns past the width are clear.
    static int32_t rowWords(int32_t width) { return (width + 63) / 64; }
    const uint64_t* glyphRows(uint8_t c) const { return bits_.data() + byByte_[c].bitsAt; }

    const HostCanvas& sheet() const { return *glyphs_.sheet; }

private:
    struct Key {
        explicit Key() = default;
    };

public:
    // For create only (Key is private).
    HostFont(Key, Glyphs glyphs);

private:
    size_t index(uint8_t c) const {
        const int32_t ch = hasChar(c) ? c : glyphs_.defaultChar;
        return static_cast<size_t>(ch - glyphs_.firstChar);
    }

    // What text needs of a byte, looked up once per character drawn.
    struct ByteGlyph {
        size_t bitsAt = 0;  // where the glyph's rows start in bits_
        int32_t width = 0;
    };

    Glyphs glyphs_;
    std::vector<uint64_t> bits_;  // every glyph's rows, one after another
    std::array<ByteGlyph, 256> byByte_{};
};

}  // namespace tx
