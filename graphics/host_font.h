// HostFont: a bitmap font made once from a face. Every character of its range sits in a cell of
// the glyph sheet (white glyph on black, one bit deep), and strings are drawn by keyed copies of
// those cells: first into a scratch line in the text colour, then onto the target canvas.
//
// Characters are bytes 0 to 255; a byte outside the range is measured and drawn as the default
// character.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "host_canvas.h"

namespace tx {

class HostFont {
public:
    // What a loader makes of a face: the sheet and, for each character of [firstChar, endChar),
    // its cell ((x << 16) | y) and advance.
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

    // A font over the glyphs with a scratch line `scratchWidth` wide (at least the widest
    // character); null when the glyphs are incomplete or the scratch line cannot be had.
    static std::unique_ptr<HostFont> create(Glyphs glyphs, int32_t scratchWidth);

    int32_t getWidth() const { return glyphs_.maxWidth; }
    int32_t getHeight() const { return glyphs_.height; }
    int32_t charWidth(uint8_t c) const { return glyphs_.widths[index(c)]; }
    int32_t stringWidth(std::string_view s) const;
    bool hasChar(uint8_t c) const { return glyphs_.firstChar <= c && c < glyphs_.endChar; }
    // Draws the string with its top-left corner at (x, y) of the canvas (its origin added, its
    // viewport clipping) in the colour argb. Black is drawn as 0x000010: black is the key of the
    // scratch line.
    void render(HostCanvas& canvas, uint32_t argb, int32_t x, int32_t y, std::string_view s);

    const HostCanvas& sheet() const { return *glyphs_.sheet; }

private:
    struct Key {
        explicit Key() = default;
    };

public:
    // For create only (Key is private).
    HostFont(Key, Glyphs glyphs, std::unique_ptr<HostCanvas> scratch);

private:
    size_t index(uint8_t c) const {
        const int32_t ch = hasChar(c) ? c : glyphs_.defaultChar;
        return static_cast<size_t>(ch - glyphs_.firstChar);
    }
    // Renders a run no wider than the scratch line.
    void renderRun(HostCanvas& canvas, int32_t x, int32_t y, std::string_view s, int32_t width);

    Glyphs glyphs_;
    std::unique_ptr<HostCanvas> scratch_;
};

}  // namespace tx
