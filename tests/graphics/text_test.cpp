// Text on the current buffer: its colours on every display depth, centring, and clipping by the
// viewport and origin.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "graphics_commands.h"
#include "graphics_fixture.h"
#include "graphics_state.h"

namespace tx {
namespace {

using test::GraphicsTest;

class TextTest : public GraphicsTest {
protected:
    static void draw(int32_t x, int32_t y, std::string_view s, int32_t cx = 0, int32_t cy = 0) {
        text(state(), x, y, arg(s), cx, cy);
    }
    // The front buffer's pixels (ARGB) in a rectangle, as '#' where not the background.
    static std::string picture(int32_t width, int32_t height, uint32_t background = 0xFF000000u) {
        std::string out;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x)
                out += static_cast<uint32_t>(readPixel(x, y, 0)) != background ? '#' : '.';
            out += '\n';
        }
        return out;
    }
    // How many pixels of each ARGB colour the front buffer holds.
    static std::map<uint32_t, int32_t> histogram() {
        std::map<uint32_t, int32_t> colours;
        for (int32_t y = 0; y < graphicsHeight(state()); ++y)
            for (int32_t x = 0; x < graphicsWidth(state()); ++x)
                ++colours[static_cast<uint32_t>(readPixel(x, y, 0))];
        return colours;
    }
};

// A short string in the default font is one bit deep on every display depth: only the text
// colour (as the display holds it) and the untouched background, with the same glyph pixels.
TEST_F(TextTest, TextIsOneBitDeepOnEveryDepth) {
    const struct {
        int32_t depth;
        uint32_t held;  // Color 200, 100, 50 as the display holds it
    } depths[] = {{32, 0xFFC86432u}, {16, 0xFFC86430u}, {24, 0xFFC86432u}};
    std::string first;
    for (const auto& d : depths) {
        if (d.depth != 32) graphics(state(), 640, 480, d.depth, 1);
        ASSERT_EQ(graphicsDepth(state()), d.depth);
        clsColor(0, 0, 64);
        cls();
        color(200, 100, 50);
        draw(3, 4, "Hi, Tervex!");
        const std::map<uint32_t, int32_t> colours = histogram();
        ASSERT_EQ(colours.size(), 2u) << d.depth;
        EXPECT_GT(colours.at(d.held), 40) << d.depth;
        const std::string shape = picture(120, 20, 0xFF000040u);
        if (first.empty()) first = shape;
        EXPECT_EQ(shape, first) << d.depth;
    }
}

// Centring moves the string left by half its width and up by half the font's height, each half
// truncated toward zero; the string argument plays no part in the vertical move.
TEST_F(TextTest, CentringMovesByHalfTheWidthAndHeight) {
    const std::string s = "abc";
    const int32_t w = stringWidth(state(), arg(s));
    ASSERT_EQ(w % 2, 1) << "an odd width tells truncation from flooring";
    const int32_t h = fontHeight(state());
    const struct {
        int32_t x, y, cx, cy;
        int32_t atX, atY;
    } cases[] = {
        {50, 40, 0, 0, 50, 40},          {50, 40, 1, 0, 50 - w / 2, 40},
        {50, 40, 0, 1, 50, 40 - h / 2},  {50, 40, -7, 3, 50 - w / 2, 40 - h / 2},
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
TEST_F(TextTest, AStringOutsideTheViewportDrawsNothing) {
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

// Text goes to the current buffer, in its colour and with the current font; without a font
// nothing is drawn.
TEST_F(TextTest, TextDrawsIntoTheCurrentBuffer) {
    const uint32_t canvas = newCanvas(60, 20);
    setBuffer(state(), canvas);
    color(0, 255, 0);
    draw(0, 0, "xyz");
    int32_t green = 0;
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 60; ++x)
            green += static_cast<uint32_t>(readPixel(x, y, canvas)) == 0xFF00FF00u;
    EXPECT_GT(green, 10);
    setBuffer(state(), frontBuffer(state()));
    EXPECT_EQ(histogram().size(), 1u);

    state().graphics->frontBuffer().setFont(nullptr);
    draw(0, 0, "xyz");
    EXPECT_EQ(histogram().size(), 1u);
}

}  // namespace
}  // namespace tx
