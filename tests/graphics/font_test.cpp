// Fonts and text through the commands: the default font, loading faces and files, measuring, the
// default character, styles, fonts across FreeFont and mode changes; Text's centring. (Glyph
// pixels are checked against a reference on canvases.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "canvas_test_util.h"
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
    // The string drawn on black, as the front buffer's picture ('#' where lit), so that two
    // strings or places can be compared glyph for glyph.
    static std::string drawn(std::string_view s, int32_t x = 2, int32_t y = 2, int32_t cx = 0,
                             int32_t cy = 0) {
        cls();
        text(state(), x, y, arg(s), cx, cy);
        return test::art(front());
    }
    static int32_t lit(std::string_view s) {
        const std::string shape = drawn(s);
        return static_cast<int32_t>(std::count(shape.begin(), shape.end(), '#'));
    }
    static HostCanvas& front() { return state().graphics->frontBuffer(); }
};

// The display's own font: 12 pixels high and monospaced; StringHeight ignores its text. Its
// glyphs are one bit deep: white text on black holds two colours, in the same shape on 16-,
// 24- and 32-bit displays.
TEST_F(FontTest, TheDefaultFontIsATwelvePixelMonospacedOneBitFace) {
    EXPECT_EQ(stringHeight(state(), arg("anything")), 12);
    for (std::string_view s : {"i", "M", " ", "\xE9"}) EXPECT_EQ(width(s), fontWidth(state())) << s;

    const std::string shape = drawn("Tervex @8");
    for (const int32_t depth : {16, 24, 32}) {
        graphics(state(), 400, 300, depth, 1);
        EXPECT_EQ(drawn("Tervex @8"), shape) << depth;
        const std::vector<uint32_t> pixels = test::values(front());
        EXPECT_EQ(std::set(pixels.begin(), pixels.end()).size(), 2u) << depth << " bits: no shades";
    }
}

// A proportional face: FontWidth is its widest character, far above the average; each
// character is measured by its own advance. Control bytes lie outside the range, and the code
// page's undefined bytes are characters the face lacks: both are measured and drawn as '?'.
// The code page's other high bytes are their own characters (the euro sign, e acute).
TEST_F(FontTest, AProportionalFaceMeasuresEachCharacterAndFontWidthIsTheWidest) {
    setFont(state(), load("Liberation Sans", 24));
    ASSERT_EQ(fontHeight(state()), 24);
    std::string all;  // every byte but 0
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    int32_t widest = 0;
    for (const char& c : all) widest = std::max(widest, width(std::string_view(&c, 1)));
    EXPECT_EQ(fontWidth(state()), widest);
    EXPECT_GT(widest, width(all) / 255 + 2);
    EXPECT_EQ(width("iW"), width("i") + width("W"));

    const std::string question = drawn("?");
    ASSERT_GT(lit("?"), 0);
    for (std::string_view s : {"\x01", "\x1F", "\x81", "\x8D", "\x9D"})
        EXPECT_EQ(std::pair(width(s), drawn(s)), std::pair(width("?"), question)) << +s[0];
    for (std::string_view s : {"\x80", "\xE9", "\x99"})
        EXPECT_TRUE(drawn(s) != question && lit(s) > 0) << +s[0];
    EXPECT_NE(drawn("\xE9"), drawn("e"));

    // The cell is the height asked for; a negative height is pixels per em (the cell is then
    // taller); absurd heights make no font.
    for (const auto& [asked, low, high] : {std::tuple(8, 8, 8), std::tuple(40, 40, 40),
                                           std::tuple(-20, 21, 26), std::tuple(0, 12, 12)}) {
        setFont(state(), load("Liberation Sans", asked));
        EXPECT_TRUE(fontHeight(state()) >= low && fontHeight(state()) <= high) << asked;
    }
    EXPECT_EQ(load("courier", 100000), 0u);
    EXPECT_EQ(load("courier", -100000), 0u);
}

// Bold is heavier, italic leans (in the same width), underline adds a line under the cells.
TEST_F(FontTest, StylesChangeTheGlyphs) {
    const int32_t regular = lit("Hello"), regularWidth = width("Hello");
    const std::string regularPicture = drawn("Hello");
    setFont(state(), load("courier", 12, 1));
    EXPECT_GT(lit("Hello"), regular);
    setFont(state(), load("courier", 12, 0, 1));
    EXPECT_EQ(width("Hello"), regularWidth);
    EXPECT_NE(drawn("Hello"), regularPicture);
    setFont(state(), load("courier", 12, 0, 0, 1));
    const std::string underlined = drawn("Hello");  // a row lit across the whole string
    EXPECT_NE(underlined.find(".." + std::string(regularWidth, '#') + "."), std::string::npos)
        << underlined;
}

// A name with a '.' is a font file, found as the program's files are (any letter case, either
// separator); a missing file is 0. The file of the default face draws as the default font.
TEST_F(FontTest, AFontFileIsLoadedByItsPath) {
    TempDir dir;
    std::filesystem::copy_file(kMonoFile, dir.file("MyMono.TTF"));
    const std::string expected = drawn("Tervex 12");
    const uint32_t font = load(dir.path() + "\\mymono.ttf");
    ASSERT_NE(font, 0u);
    setFont(state(), font);
    EXPECT_EQ(drawn("Tervex 12"), expected);
    EXPECT_EQ(load(dir.file("Missing.ttf")), 0u);
}

// Freeing the current font, or a mode change, goes back to the display's default font, which
// stays usable; a freed handle (the debug flag clear) changes nothing.
TEST_F(FontTest, FreeFontAndEveryModeChangeGoBackToTheDefaultFont) {
    const int32_t defaultLit = lit("A");
    const uint32_t big = load("courier", 30);
    setFont(state(), big);
    EXPECT_NE(lit("A"), defaultLit);
    freeFont(state(), big);
    EXPECT_EQ(lit("A"), defaultLit);
    setFont(state(), big);
    EXPECT_EQ(fontHeight(state()), 12);

    const uint32_t medium = load("courier", 25);
    setFont(state(), medium);
    graphics(state(), 640, 480, 16, 1);
    setFont(state(), medium);
    EXPECT_EQ(fontHeight(state()), 12) << "the mode change freed it";
    EXPECT_EQ(lit("A"), defaultLit);
}

// Centring moves the string left by half its width and up by half the font's height, each half
// truncated toward zero.
TEST_F(FontTest, CentringMovesByHalfTheWidthAndHeight) {
    const int32_t w = width("abc"), h = fontHeight(state());
    ASSERT_EQ(w % 2, 1) << "an odd width tells truncation from flooring";
    EXPECT_EQ(drawn("abc", 50, 40, 1, 0), drawn("abc", 50 - w / 2, 40));
    EXPECT_EQ(drawn("abc", 50, 40, 0, 1), drawn("abc", 50, 40 - h / 2));
    EXPECT_EQ(drawn("abc", 3, 0, -7, 3), drawn("abc", 3 - w / 2, -h / 2)) << "partly off";
}

}  // namespace
}  // namespace tx
