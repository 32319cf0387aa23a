// Fonts and text through the commands: the default font, loading faces and files, measuring, the
// default character, styles, fonts across FreeFont, SetBuffer and mode changes; Text's centring,
// clipping and buffer. (Glyph pixels are checked against a reference on canvases.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "graphics_commands.h"
#include "graphics_fixture.h"
#include "graphics_state.h"
#include "host_font.h"
#include "test_files.h"

namespace tx {
namespace {

using test::GraphicsTest;
using test::TempDir;

constexpr const char* kMonoFile = "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf";

class FontTest : public GraphicsTest {
protected:
    static uint32_t load(std::string_view name, int32_t height = 12, int32_t bold = 0,
                         int32_t italic = 0, int32_t underline = 0) {
        return loadFont(state(), arg(name), height, bold, italic, underline);
    }
    static int32_t width(std::string_view s) { return stringWidth(state(), arg(s)); }
    static void draw(int32_t x, int32_t y, std::string_view s, int32_t cx = 0, int32_t cy = 0) {
        text(state(), x, y, arg(s), cx, cy);
    }
    // The current buffer's pixels in a rectangle at the top left, as text: '#' where not the
    // background, one line per row.
    static std::string picture(int32_t width, int32_t height) {
        std::string out;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x)
                out += static_cast<uint32_t>(readPixel(x, y, 0)) != 0xFF000000u ? '#' : '.';
            out += '\n';
        }
        return out;
    }
    // The string drawn at (2, 2) on black, so two strings can be compared glyph for glyph.
    static std::string drawn(std::string_view s) {
        cls();
        draw(2, 2, s);
        return picture(120, fontHeight(state()) + 4);
    }
    static int32_t lit(std::string_view s) {
        const std::string shape = drawn(s);
        return static_cast<int32_t>(std::count(shape.begin(), shape.end(), '#'));
    }
    // How many pixels of each ARGB colour the front buffer holds.
    static std::map<uint32_t, int32_t> histogram() {
        std::map<uint32_t, int32_t> colours;
        for (int32_t y = 0; y < graphicsHeight(state()); ++y)
            for (int32_t x = 0; x < graphicsWidth(state()); ++x)
                ++colours[static_cast<uint32_t>(readPixel(x, y, frontBuffer(state())))];
        return colours;
    }
};

// The display's own font: 12 pixels high and monospaced; StringHeight ignores its text and the
// empty string is 0 wide. Its glyphs are one bit deep: white text on black holds two colours,
// in the same shape on 16-, 24- and 32-bit displays.
TEST_F(FontTest, TheDefaultFontIsATwelvePixelMonospacedOneBitFace) {
    EXPECT_EQ(state().currentFont, state().graphics->defaultFont());
    EXPECT_EQ(fontHeight(state()), 12);
    EXPECT_EQ(stringHeight(state(), arg("anything")), 12);
    EXPECT_EQ(width(""), 0);
    const int32_t w = width("W");
    EXPECT_GT(w, 0);
    for (std::string_view s : {"i", "M", ".", " ", "\xE9"}) EXPECT_EQ(width(s), w) << s;
    EXPECT_EQ(width("iMiM"), 4 * w);
    EXPECT_EQ(fontWidth(state()), w);

    const std::string shape = drawn("Tervex @8");
    for (const int32_t depth : {16, 24, 32}) {
        graphics(state(), 640, 480, depth, 1);
        EXPECT_EQ(drawn("Tervex @8"), shape) << depth;
        EXPECT_EQ(histogram().size(), 2u) << depth << " bits: no shades between";
    }
}

// A proportional face: FontWidth is its widest character, far above the average; each
// character is measured by its own advance. Control bytes lie outside the range, and the code
// page's undefined bytes are characters the face lacks: both are measured and drawn as '?'.
// The code page's other high bytes are their own characters (the euro sign, e acute).
TEST_F(FontTest, AProportionalFaceMeasuresEachCharacterAndFontWidthIsTheWidest) {
    const uint32_t font = load("Liberation Sans", 24);
    ASSERT_NE(font, 0u);
    setFont(state(), font);
    EXPECT_EQ(fontHeight(state()), 24);
    int32_t widest = 0, total = 0;
    for (int c = 1; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        const int32_t w = width(std::string_view(&ch, 1));
        widest = std::max(widest, w);
        total += w;
    }
    EXPECT_EQ(fontWidth(state()), widest);
    EXPECT_GT(widest, total / 255 + 2);
    EXPECT_LT(width("i"), width("W"));
    EXPECT_EQ(width("iW"), width("i") + width("W"));

    const std::string question = drawn("?");
    ASSERT_GT(lit("?"), 0);
    for (std::string_view s : {"\x01", "\x1F", "\x81", "\x8D", "\x9D"}) {
        EXPECT_EQ(width(s), width("?")) << static_cast<int>(static_cast<uint8_t>(s[0]));
        EXPECT_EQ(drawn(s), question) << static_cast<int>(static_cast<uint8_t>(s[0]));
    }
    for (std::string_view s : {"\x80", "\xE9", "\x99"}) {
        EXPECT_NE(drawn(s), question) << static_cast<int>(static_cast<uint8_t>(s[0]));
        EXPECT_GT(lit(s), 0);
    }
    EXPECT_NE(drawn("\xE9"), drawn("e"));

    // The cell is the height asked for; a negative height is pixels per em (the cell is then
    // taller); absurd heights make no font.
    for (const auto& [asked, low, high] : {std::tuple(8, 8, 8), std::tuple(40, 40, 40),
                                           std::tuple(-20, 21, 26), std::tuple(0, 12, 12)}) {
        setFont(state(), load("Liberation Sans", asked));
        EXPECT_GE(fontHeight(state()), low) << asked;
        EXPECT_LE(fontHeight(state()), high) << asked;
    }
    EXPECT_EQ(load("courier", 100000), 0u);
    EXPECT_EQ(load("courier", -100000), 0u);
}

// Bold is heavier (and no narrower), italic leans, underline adds a line under every cell.
TEST_F(FontTest, StylesChangeTheGlyphs) {
    const std::string sample = "Hello";
    const int32_t regular = lit(sample), regularWidth = width(sample);
    const std::string regularPicture = drawn(sample);
    for (const int32_t style : {0, 1, 2}) {
        const uint32_t font = load("courier", 12, style == 0, style == 1, style == 2);
        ASSERT_NE(font, 0u);
        setFont(state(), font);
        EXPECT_EQ(fontHeight(state()), 12);
        const std::string shape = drawn(sample);
        const int32_t w = width(sample);
        if (style == 0) {
            EXPECT_GT(lit(sample), regular);
            EXPECT_GE(w, regularWidth);
        } else {
            EXPECT_EQ(w, regularWidth);
        }
        if (style == 1) {
            EXPECT_NE(shape, regularPicture);
        }
        if (style == 2) {
            bool found = false;  // a row lit across the whole string
            for (size_t row = 0; row + 121 <= shape.size(); row += 121)
                found = found || shape.substr(row + 2, w) == std::string(w, '#');
            EXPECT_TRUE(found) << shape;
        }
        freeFont(state(), font);
    }
}

// A name with a '.' is a font file, found whatever its letter case and separators; a missing
// file is 0. The file of the default face draws as the default font.
TEST_F(FontTest, AFontFileIsLoadedByItsPath) {
    ASSERT_TRUE(std::filesystem::exists(kMonoFile));
    TempDir dir;
    std::filesystem::create_directories(dir.file("Fonts"));
    std::filesystem::copy_file(kMonoFile, dir.file("Fonts/MyMono.TTF"));
    const std::string expected = drawn("Tervex 12");

    const uint32_t font = load(dir.path() + "\\fONTS\\mymono.ttf");
    ASSERT_NE(font, 0u);
    setFont(state(), font);
    EXPECT_EQ(drawn("Tervex 12"), expected);

    EXPECT_EQ(load(dir.file("Fonts/Missing.ttf")), 0u);
    EXPECT_EQ(load(dir.file("nowhere/MyMono.TTF")), 0u);
    EXPECT_EQ(state().fonts.size(), 1u);
}

// SetFont gives the font to the current buffer and every buffer selected later, and Text draws
// there in its colour; freeing the current font, or a mode change, goes back to the default
// font everywhere; a handle that names no font changes nothing (the debug flag is clear), and
// a buffer without a font draws no text.
TEST_F(FontTest, EveryBufferKeepsALiveFontAcrossFreeFontAndModeChanges) {
    const uint32_t big = load("courier", 30);
    const uint32_t other = load("courier", 20);
    ASSERT_NE(big, 0u);
    setFont(state(), big);
    EXPECT_EQ(fontHeight(state()), 30);
    const uint32_t canvas = newCanvas(60, 40);
    setBuffer(state(), canvas);
    HostCanvas* image = state().buffers.find(canvas);
    EXPECT_EQ(image->font(), state().fonts.find(big));
    color(0, 255, 0);
    draw(0, 0, "xyz");
    int32_t green = 0;
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 60; ++x)
            green += static_cast<uint32_t>(readPixel(x, y, canvas)) == 0xFF00FF00u;
    EXPECT_GT(green, 10);
    setBuffer(state(), frontBuffer(state()));
    EXPECT_EQ(histogram().size(), 1u) << "nothing drawn on the front buffer";

    freeFont(state(), other);  // not current: nothing changes
    EXPECT_EQ(fontHeight(state()), 30);
    freeFont(state(), big);
    EXPECT_EQ(fontHeight(state()), 12);
    EXPECT_EQ(state().graphics->frontBuffer().font(), state().graphics->defaultFont());
    EXPECT_EQ(image->font(), state().graphics->defaultFont()) << "no canvas keeps a freed font";
    EXPECT_EQ(state().fonts.size(), 0u);
    setFont(state(), big);   // freed
    setFont(state(), 0);     // never a font
    freeFont(state(), big);  // twice
    EXPECT_EQ(fontHeight(state()), 12);

    const uint32_t font = load("courier", 25);
    setFont(state(), font);
    graphics(state(), 640, 480, 16, 1);
    EXPECT_EQ(state().fonts.find(font), nullptr);
    EXPECT_EQ(state().fonts.size(), 0u);
    EXPECT_EQ(state().currentFont, state().graphics->defaultFont());
    EXPECT_EQ(state().graphics->frontBuffer().font(), state().currentFont);
    setFont(state(), load("courier", 25));
    endGraphics(state());
    EXPECT_EQ(state().fonts.size(), 0u);
    EXPECT_EQ(fontHeight(state()), 12);
    EXPECT_GT(lit("A"), 0);

    state().graphics->frontBuffer().setFont(nullptr);
    cls();
    draw(0, 0, "xyz");
    EXPECT_EQ(histogram().size(), 1u);
}

// Centring moves the string left by half its width and up by half the font's height, each half
// truncated toward zero; the string argument plays no part in the vertical move.
TEST_F(FontTest, CentringMovesByHalfTheWidthAndHeight) {
    const std::string s = "abc";
    const int32_t w = stringWidth(state(), arg(s));
    ASSERT_EQ(w % 2, 1) << "an odd width tells truncation from flooring";
    const int32_t h = fontHeight(state());
    const struct {
        int32_t x, y, cx, cy;
        int32_t atX, atY;
    } cases[] = {
        {50, 40, 1, 0, 50 - w / 2, 40},
        {50, 40, 0, 1, 50, 40 - h / 2},
        {50, 40, -7, 3, 50 - w / 2, 40 - h / 2},
        {3, 0, 1, 1, 3 - w / 2, -h / 2},  // partly off the buffer
    };
    for (const auto& c : cases) {
        cls();
        draw(c.atX, c.atY, s);
        const std::string expected = picture(100, 60);
        cls();
        draw(c.x, c.y, s, c.cx, c.cy);
        EXPECT_EQ(picture(100, 60), expected) << c.cx << "," << c.cy;
        cls();
        draw(c.atX - 1, c.atY, s);
        if (c.cx != 0) {
            EXPECT_NE(picture(100, 60), expected) << "flooring would draw here";
        }
    }
}

// A string wholly outside the viewport draws nothing, also where its position plus its width
// would wrap round in 32 bits. (What a viewport cuts is checked pixel by pixel on canvases.)
TEST_F(FontTest, AStringOutsideTheViewportDrawsNothing) {
    const std::string s = "MWMWMWMWMWMWMWMW";
    const int32_t w = stringWidth(state(), arg(s));
    const int32_t h = fontHeight(state());
    cls();
    viewport(100, 100, 50, 50);
    for (const auto& [x, y] : {std::pair{150, 100}, std::pair{100 - w, 100}, std::pair{100, 150},
                               std::pair{100, 100 - h}, std::pair{INT32_MIN, 100}})
        draw(x, y, s);
    viewport(0, 0, 400, 300);
    EXPECT_EQ(histogram().size(), 1u) << "nothing drawn";
}

}  // namespace
}  // namespace tx
