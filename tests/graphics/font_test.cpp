// Fonts through the commands: the default font, loading faces and files, measuring, the
// default character, styles, and fonts across FreeFont, SetBuffer and mode changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

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
    // The front buffer's pixels after drawing the string at (2, 2) on black, as text ('#' for
    // lit pixels), so two strings can be compared glyph for glyph.
    static std::string drawn(std::string_view s) {
        HostCanvas& front = state().graphics->frontBuffer();
        front.cls();
        text(state(), 2, 2, arg(s), 0, 0);
        std::string out;
        for (int32_t y = 0; y < fontHeight(state()) + 4; ++y) {
            for (int32_t x = 0; x < 120; ++x)
                out += (front.getPixelFast(x, y) & 0xFFFFFF) ? '#' : '.';
            out += '\n';
        }
        return out;
    }
    static int32_t lit(std::string_view s) {
        const std::string picture = drawn(s);
        return static_cast<int32_t>(std::count(picture.begin(), picture.end(), '#'));
    }
};

// The display's own font: 12 pixels high and monospaced; StringHeight ignores its text and the
// empty string is 0 wide.
TEST_F(FontTest, TheDefaultFontIsATwelvePixelMonospacedFace) {
    ASSERT_NE(state().currentFont, nullptr);
    EXPECT_EQ(state().currentFont, state().graphics->defaultFont());
    EXPECT_EQ(state().graphics->frontBuffer().font(), state().currentFont);
    EXPECT_EQ(fontHeight(state()), 12);
    EXPECT_EQ(stringHeight(state(), arg("anything")), 12);
    EXPECT_EQ(width(""), 0);
    const int32_t w = width("W");
    EXPECT_GT(w, 0);
    for (std::string_view s : {"i", "M", ".", " ", "\xE9"}) EXPECT_EQ(width(s), w) << s;
    EXPECT_EQ(width("iMiM"), 4 * w);
    EXPECT_EQ(fontWidth(state()), w);
}

// FontWidth of a proportional face is its widest character, far above the average; each
// character is measured by its own advance.
TEST_F(FontTest, FontWidthOfAProportionalFaceIsItsWidestCharacter) {
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
}

// Control bytes lie outside the range, and the code page's undefined bytes are characters the
// face lacks: both are measured and drawn as '?'. The code page's other high bytes are their
// own characters (the euro sign, e acute).
TEST_F(FontTest, BytesWithoutACharacterAreDrawnAsTheDefaultCharacter) {
    const uint32_t font = load("Liberation Sans", 16);
    ASSERT_NE(font, 0u);
    setFont(state(), font);
    const std::string question = drawn("?");
    ASSERT_GT(lit("?"), 0);
    for (std::string_view s : {"\x01", "\x1F", "\x81", "\x8D", "\x9D"}) {
        EXPECT_EQ(width(s), width("?")) << static_cast<int>(static_cast<uint8_t>(s[0]));
        EXPECT_EQ(drawn(s), question) << static_cast<int>(static_cast<uint8_t>(s[0]));
    }
    EXPECT_FALSE(state().currentFont->hasChar(0x1F));
    EXPECT_TRUE(state().currentFont->hasChar(' '));
    EXPECT_TRUE(state().currentFont->hasChar(0xFF));
    for (std::string_view s : {"\x80", "\xE9", "\x99"}) {
        EXPECT_NE(drawn(s), question) << static_cast<int>(static_cast<uint8_t>(s[0]));
        EXPECT_GT(lit(s), 0);
    }
    EXPECT_NE(drawn("\xE9"), drawn("e"));
    EXPECT_EQ(width("a\x01z"), width("a?z"));
}

// Bold is heavier (and no narrower), italic leans, underline adds a line under every cell.
TEST_F(FontTest, StylesChangeTheGlyphs) {
    const std::string sample = "Hello";
    const int32_t regular = lit(sample);
    const std::string regularPicture = drawn(sample);
    const int32_t regularWidth = width(sample);
    ASSERT_GT(regular, 0);

    const struct { int32_t bold, italic, underline; } styles[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const auto& style : styles) {
        const uint32_t font = load("courier", 12, style.bold, style.italic, style.underline);
        ASSERT_NE(font, 0u);
        setFont(state(), font);
        EXPECT_EQ(fontHeight(state()), 12);
        const std::string picture = drawn(sample);
        if (style.bold) {
            EXPECT_GT(lit(sample), regular);
            EXPECT_GE(width(sample), regularWidth);
        }
        if (style.italic) {
            EXPECT_NE(picture, regularPicture);
            EXPECT_EQ(width(sample), regularWidth);
        }
        if (style.underline) {
            // A row lit across the whole string.
            const int32_t w = width(sample);
            bool found = false;
            for (size_t row = 0; row + 121 <= picture.size(); row += 121)
                found = found || picture.substr(row + 2, w) == std::string(w, '#');
            EXPECT_TRUE(found) << picture;
            EXPECT_EQ(width(sample), regularWidth);
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

    std::string mixed = dir.path() + "\\fONTS\\mymono.ttf";
    const uint32_t font = load(mixed);
    ASSERT_NE(font, 0u);
    setFont(state(), font);
    EXPECT_EQ(drawn("Tervex 12"), expected);

    EXPECT_EQ(load(dir.file("Fonts/Missing.ttf")), 0u);
    EXPECT_EQ(load(dir.file("nowhere/MyMono.TTF")), 0u);
    EXPECT_EQ(state().fonts.size(), 1u);
}

// SetFont gives the font to the current buffer and every buffer selected later; freeing the
// current font goes back to the default font everywhere it was in use; a handle that names no
// font changes nothing (the debug flag is clear).
TEST_F(FontTest, FreeFontAndSetBufferKeepEveryBufferOnALiveFont) {
    const uint32_t big = load("courier", 30);
    const uint32_t other = load("courier", 20);
    ASSERT_NE(big, 0u);
    setFont(state(), big);
    EXPECT_EQ(fontHeight(state()), 30);
    const uint32_t canvas = newCanvas(40, 40);
    setBuffer(state(), canvas);
    HostCanvas* image = state().buffers.find(canvas);
    EXPECT_EQ(image->font(), state().fonts.find(big));
    setBuffer(state(), frontBuffer(state()));

    freeFont(state(), other);  // not current: nothing changes
    EXPECT_EQ(fontHeight(state()), 30);
    freeFont(state(), big);
    EXPECT_EQ(fontHeight(state()), 12);
    EXPECT_EQ(state().graphics->frontBuffer().font(), state().graphics->defaultFont());
    EXPECT_EQ(image->font(), state().graphics->defaultFont()) << "no canvas keeps a freed font";
    EXPECT_TRUE(state().fonts.size() == 0);

    setFont(state(), big);   // freed
    setFont(state(), 0);     // never a font
    freeFont(state(), big);  // twice
    EXPECT_EQ(fontHeight(state()), 12);
}

// Every font goes with its display: after Graphics and EndGraphics the handles name nothing and
// the new display's default font is current.
TEST_F(FontTest, AModeChangeFreesEveryFont) {
    const uint32_t font = load("courier", 25);
    ASSERT_NE(font, 0u);
    setFont(state(), font);
    graphics(state(), 640, 480, 16, 1);
    EXPECT_EQ(state().fonts.find(font), nullptr);
    EXPECT_EQ(state().fonts.size(), 0u);
    EXPECT_EQ(fontHeight(state()), 12);
    EXPECT_EQ(state().currentFont, state().graphics->defaultFont());
    EXPECT_EQ(state().graphics->frontBuffer().font(), state().currentFont);

    setFont(state(), load("courier", 25));
    endGraphics(state());
    EXPECT_EQ(state().fonts.size(), 0u);
    EXPECT_EQ(fontHeight(state()), 12);
    EXPECT_GT(lit("A"), 0);
}

// Heights: the cell is the height asked for; a negative height is pixels per em (the cell is
// then taller); absurd heights make no font.
TEST_F(FontTest, TheCellHeightIsTheHeightAskedFor) {
    const struct {
        int32_t asked;
        int32_t low, high;  // cell height range
    } cases[] = {{8, 8, 8}, {12, 12, 12}, {40, 40, 40}, {-20, 21, 26}, {0, 12, 12}};
    for (const auto& c : cases) {
        const uint32_t font = load("Liberation Sans", c.asked);
        ASSERT_NE(font, 0u) << c.asked;
        setFont(state(), font);
        EXPECT_GE(fontHeight(state()), c.low) << c.asked;
        EXPECT_LE(fontHeight(state()), c.high) << c.asked;
    }
    EXPECT_EQ(load("courier", 100000), 0u);
    EXPECT_EQ(load("courier", -100000), 0u);
}

}  // namespace
}  // namespace tx
