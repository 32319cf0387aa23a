#include "font_loader.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "font_face.h"
#include "windows_1252.h"

namespace tx {
namespace {

// Bytes 0 to 31 are control codes, not characters: outside the range they are measured and
// drawn as the default character, and the line editor never takes them as text.
constexpr int32_t kFirstChar = 32;
constexpr int32_t kEndChar = 256;
constexpr int32_t kDefaultChar = '?';
constexpr int32_t kDefaultHeight = 12;
constexpr int32_t kCount = kEndChar - kFirstChar;

// Monochrome hinting and rendering: every glyph pixel is wholly on or off.
constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;

// Where glyphs sit in a cell of the requested height.
struct CellMetrics {
    int32_t height = 0;
    int32_t ascent = 0;  // baseline, from the top of the cell
    int32_t underlineTop = 0;
    int32_t underlineThickness = 1;
};

int32_t roundToInt(double v) {
    return static_cast<int32_t>(std::lround(v));
}

// Sizes a scalable face so that its ascent and descent (the Windows metrics when the face has
// them, which is what cell heights were chosen against) fill the cell.
bool sizeScalable(FT_Face face, int32_t height, CellMetrics& cell) {
    double ascent = face->ascender;
    double descent = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0 || face->units_per_EM == 0) return false;
    const double unitsPerEm = face->units_per_EM;
    double pixelsPerEm = 0;
    if (height > 0) {
        cell.height = height;
        pixelsPerEm = height * unitsPerEm / (ascent + descent);
    } else {
        pixelsPerEm = -height;
        cell.height = std::max(1, roundToInt((ascent + descent) * pixelsPerEm / unitsPerEm));
    }
    const double scale = pixelsPerEm / unitsPerEm;
    cell.ascent = roundToInt(ascent * scale);
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelsPerEm * 64)), 72, 72) !=
        0)
        return false;
    cell.underlineThickness = std::max(1, roundToInt(face->underline_thickness * scale));
    cell.underlineTop =
        cell.ascent - roundToInt(face->underline_position * scale) - cell.underlineThickness / 2;
    return true;
}

// A bitmap-only face: the strike nearest the requested height.
bool sizeFixed(FT_Face face, int32_t height, CellMetrics& cell) {
    if (face->num_fixed_sizes < 1) return false;
    const int32_t wanted = std::abs(height);
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i)
        if (std::abs(face->available_sizes[i].height - wanted) <
            std::abs(face->available_sizes[best].height - wanted))
            best = i;
    if (FT_Select_Size(face, best) != 0) return false;
    cell.height = height > 0 ? height : face->available_sizes[best].height;
    cell.ascent = static_cast<int32_t>(face->size->metrics.ascender >> 6);
    cell.underlineTop = cell.ascent + 1;
    return true;
}

class Rasteriser {
public:
    Rasteriser(const FontFace& font, uint32_t style) : font_(font), style_(style) {}

    bool size(int32_t height) {
        FT_Face face = font_.face();
        const bool sized = FT_IS_SCALABLE(face) ? sizeScalable(face, height, cell_)
                                                : sizeFixed(face, height, cell_);
        if (!sized || cell_.height < 1 || cell_.height > HostCanvas::kMaxSide) return false;
        cell_.underlineThickness = std::clamp(cell_.underlineThickness, 1, cell_.height);
        cell_.underlineTop =
            std::clamp(cell_.underlineTop, 0, cell_.height - cell_.underlineThickness);
        return true;
    }

    const CellMetrics& cell() const { return cell_; }

    // The face's glyph of a byte, 0 when it has none.
    FT_UInt glyphOf(int32_t byte) const {
        FT_Face face = font_.face();
        const uint32_t code = windows1252ToUnicode(static_cast<uint8_t>(byte));
        if (code == 0) return 0;
        if (symbolMap_) return FT_Get_Char_Index(face, 0xF000 | code);
        return FT_Get_Char_Index(face, code);
    }

    void chooseCharmap() {
        FT_Face face = font_.face();
        if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0)
            symbolMap_ = FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0;
    }

    // Loads a glyph with the style the face lacks made up; false when it cannot be loaded.
    bool load(FT_UInt glyph) {
        FT_Face face = font_.face();
        if (FT_Load_Glyph(face, glyph, kLoadFlags) != 0) return false;
        if (font_.slantNeeded()) FT_GlyphSlot_Oblique(face->glyph);
        if (font_.emboldenNeeded()) FT_GlyphSlot_Embolden(face->glyph);
        return true;
    }

    int32_t advance(FT_UInt glyph) {
        if (!load(glyph)) return 0;
        return std::max<int32_t>(0,
                                 static_cast<int32_t>((font_.face()->glyph->advance.x + 32) >> 6));
    }

    // Draws the glyph white into its cell of the sheet, clipped to the cell.
    void draw(FT_UInt glyph, HostCanvas& sheet, int32_t cellX, int32_t cellY, int32_t width) {
        if (load(glyph) && FT_Render_Glyph(font_.face()->glyph, FT_RENDER_MODE_MONO) == 0)
            copyBitmap(sheet, cellX, cellY, width);
        if ((style_ & font_style::kUnderline) != 0 && width > 0)
            sheet.rect(cellX, cellY + cell_.underlineTop, width, cell_.underlineThickness, true);
    }

private:
    void copyBitmap(HostCanvas& sheet, int32_t cellX, int32_t cellY, int32_t width) {
        const FT_GlyphSlot slot = font_.face()->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.buffer == nullptr || bitmap.pitch <= 0) return;
        const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
        if (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
        const int32_t left = slot->bitmap_left;
        const int32_t top = cell_.ascent - slot->bitmap_top;
        for (int32_t row = 0; row < static_cast<int32_t>(bitmap.rows); ++row) {
            const int32_t y = top + row;
            if (y < 0 || y >= cell_.height) continue;
            const unsigned char* bits = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            for (int32_t col = 0; col < static_cast<int32_t>(bitmap.width); ++col) {
                const int32_t x = left + col;
                if (x < 0 || x >= width) continue;
                const bool on =
                    mono ? (bits[col >> 3] & (0x80 >> (col & 7))) != 0 : bits[col] >= 128;
                if (on) sheet.setPixelFast(cellX + x, cellY + y, 0xFFFFFFFFu);
            }
        }
    }

    const FontFace& font_;
    uint32_t style_;
    CellMetrics cell_;
    bool symbolMap_ = false;
};

}  // namespace

std::unique_ptr<HostFont> loadFont(std::string_view name, int32_t height, uint32_t style,
                                   const PixelFormat& format, int32_t rowWidth) {
    if (height == 0) height = kDefaultHeight;
    if (height < -HostCanvas::kMaxSide || height > HostCanvas::kMaxSide) return nullptr;
    const std::unique_ptr<FontFace> face =
        FontFace::open(name, (style & font_style::kBold) != 0, (style & font_style::kItalic) != 0);
    if (face == nullptr) return nullptr;
    Rasteriser raster(*face, style);
    raster.chooseCharmap();
    if (!raster.size(height)) return nullptr;
    const CellMetrics& cell = raster.cell();

    // Characters the face lacks share the default character's cell (its '?', or its own
    // missing-glyph shape when it has no '?').
    std::array<FT_UInt, kCount> glyphs{};
    std::array<bool, kCount> own{};
    for (int32_t c = kFirstChar; c < kEndChar; ++c) {
        glyphs[c - kFirstChar] = raster.glyphOf(c);
        own[c - kFirstChar] = glyphs[c - kFirstChar] != 0 || c == kDefaultChar;
    }

    HostFont::Glyphs made;
    made.height = cell.height;
    made.firstChar = kFirstChar;
    made.endChar = kEndChar;
    made.defaultChar = kDefaultChar;
    made.cells.assign(kCount, 0);
    made.widths.assign(kCount, 0);
    int64_t x = 0, y = 0, sheetWidth = 0;
    for (int32_t i = 0; i < kCount; ++i) {
        if (!own[i]) continue;
        const int32_t w = raster.advance(glyphs[i]);
        if (x != 0 && x + w > rowWidth) {
            x = 0;
            y += cell.height;
        }
        if (x > 0xFFFF || y > 0xFFFF) return nullptr;  // beyond any canvas
        made.cells[i] = static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y);
        made.widths[i] = w;
        x += w;
        sheetWidth = std::max(sheetWidth, x);
    }
    const int32_t defaultIndex = kDefaultChar - kFirstChar;
    for (int32_t i = 0; i < kCount; ++i) {
        if (own[i]) continue;
        made.cells[i] = made.cells[defaultIndex];
        made.widths[i] = made.widths[defaultIndex];
    }
    made.maxWidth = *std::max_element(made.widths.begin(), made.widths.end());
    const int64_t sheetHeight = y + cell.height;
    if (sheetWidth > HostCanvas::kMaxSide || sheetHeight > HostCanvas::kMaxSide) return nullptr;
    made.sheet = HostCanvas::create(static_cast<int32_t>(std::max<int64_t>(sheetWidth, 1)),
                                    static_cast<int32_t>(sheetHeight), format);
    if (made.sheet == nullptr) return nullptr;
    made.sheet->setColor(0xFFFFFFFFu);
    for (int32_t i = 0; i < kCount; ++i) {
        if (!own[i]) continue;
        raster.draw(glyphs[i], *made.sheet, static_cast<int32_t>(made.cells[i] >> 16),
                    static_cast<int32_t>(made.cells[i] & 0xFFFF), made.widths[i]);
    }
    return HostFont::create(std::move(made));
}

}  // namespace tx
