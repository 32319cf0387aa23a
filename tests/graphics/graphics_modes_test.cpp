// Drivers, modes and mode changes through the graphics commands.
#include <gtest/gtest.h>

#include <cstdint>

#include "graphics_test_support.h"

namespace tx {
namespace {

using test::GraphicsTest;

TEST_F(GraphicsTest, TheStartUpWindowIsA400By300WindowWithTheFrontBufferSelected) {
    EXPECT_EQ(graphicsWidth(), 400);
    EXPECT_EQ(graphicsHeight(), 300);
    EXPECT_EQ(graphicsDepth(), 32) << "the desktop's depth";
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_TRUE(video->windowShown());
    EXPECT_NE(frontBuffer(), 0u);
    EXPECT_NE(backBuffer(), 0u);
    EXPECT_NE(frontBuffer(), backBuffer());
    EXPECT_EQ(graphicsBuffer(), frontBuffer());
    EXPECT_EQ(totalVidMem(), 0);
    EXPECT_EQ(availVidMem(), 0);
    EXPECT_FALSE(state().modeSetByProgram);
}

TEST_F(GraphicsTest, GraphicsResetsTheColoursAndFreesEveryBufferOfTheOldMode) {
    color(1, 2, 3);
    clsColor(40, 50, 60);
    const uint32_t oldFront = frontBuffer();
    const uint32_t oldBack = backBuffer();
    const uint32_t canvas = newCanvas(8, 8);

    graphics(320, 240, 0, 2);
    EXPECT_EQ(graphicsWidth(), 320);
    EXPECT_EQ(graphicsHeight(), 240);
    EXPECT_TRUE(state().modeSetByProgram);
    EXPECT_EQ(colorRed(), 255);
    EXPECT_EQ(colorGreen(), 255);
    EXPECT_EQ(colorBlue(), 255);
    writePixel(5, 5, 0x123456, 0);
    cls();
    EXPECT_EQ(readPixel(5, 5, 0), static_cast<int32_t>(0xFF000000)) << "clear colour black";
    EXPECT_EQ(graphicsBuffer(), frontBuffer());

    // Handles of the old mode name nothing now; with the debug flag clear they do nothing.
    for (uint32_t stale : {oldFront, oldBack, canvas}) {
        EXPECT_NE(stale, frontBuffer());
        EXPECT_NE(stale, backBuffer());
        EXPECT_EQ(state().buffers.find(stale), nullptr);
        setBuffer(stale);
        EXPECT_EQ(graphicsBuffer(), frontBuffer());
        EXPECT_EQ(readPixel(0, 0, stale), 0);
    }
    EXPECT_EQ(state().buffers.size(), 2u);
}

TEST_F(GraphicsTest, ModesOtherThan0To3AreIllegalAndLeaveTheDisplayAsItWas) {
    const uint32_t front = frontBuffer();
    for (int32_t mode : {4, -1, 100}) {
        EXPECT_EQ(errorOf([&] { graphics(640, 480, 0, mode); }), "Illegal Graphics mode");
    }
    EXPECT_EQ(frontBuffer(), front);
    EXPECT_EQ(graphicsWidth(), 400);
}

TEST_F(GraphicsTest, ModeZeroIsFullScreenWithTheDebugFlagClear) {
    graphics(640, 480, 0, 0);
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::Fullscreen);
    EXPECT_EQ(graphicsDepth(), 16);
    graphics(640, 480, 24, 1);
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::Fullscreen);
    EXPECT_EQ(graphicsDepth(), 24);
    graphics(200, 100, 16, 3);
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedScaled);
    EXPECT_EQ(graphicsDepth(), 32) << "windowed modes ignore the depth";
}

TEST_F(GraphicsTest, AModeThatCannotBeSetEndsTheProgramWithNoDisplayLeft) {
    EXPECT_EQ(errorOf([] { graphics(641, 480, 16, 1); }), "Unable to set graphics mode");
    EXPECT_EQ(state().graphics, nullptr);
    EXPECT_FALSE(runtime->display().graphicsOpen());
    // Nothing is left to draw into, and nothing breaks.
    EXPECT_EQ(graphicsWidth(), 0);
    EXPECT_EQ(frontBuffer(), 0u);
    plot(1, 1);
    flip(0);
    EXPECT_EQ(readPixel(1, 1, 0), 0);
}

TEST_F(GraphicsTest, EndGraphicsReturnsToTheStartUpWindowOnlyAfterGraphics) {
    color(9, 9, 9);
    const uint32_t front = frontBuffer();
    endGraphics();
    EXPECT_EQ(frontBuffer(), front) << "never called Graphics: the display stays";
    EXPECT_EQ(colorRed(), 9);

    graphics(640, 480, 32, 1);
    color(9, 9, 9);
    endGraphics();
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_EQ(graphicsWidth(), 400);
    EXPECT_EQ(graphicsHeight(), 300);
    EXPECT_FALSE(state().modeSetByProgram);
    EXPECT_EQ(colorRed(), 255);
    EXPECT_EQ(graphicsBuffer(), frontBuffer());
}

TEST_F(GraphicsTest, TheModeListIsReadByCountGfxModesAndEmptiedBySetGfxDriver) {
    EXPECT_EQ(gfxModeWidth(1), 0) << "no list before CountGfxModes";
    const int32_t count = countGfxModes();
    ASSERT_EQ(count, runtime->display().countGraphicsModes(0));
    ASSERT_GT(count, 0);
    for (int32_t i = 1; i <= count; ++i) {
        const DisplayModeInfo mode = runtime->display().graphicsModeInfo(0, i - 1);
        EXPECT_EQ(gfxModeWidth(i), mode.width);
        EXPECT_EQ(gfxModeHeight(i), mode.height);
        EXPECT_EQ(gfxModeDepth(i), mode.depth);
    }
    EXPECT_EQ(gfxModeWidth(0), 0);
    EXPECT_EQ(gfxModeDepth(count + 1), 0);

    ASSERT_GE(countGfxDrivers(), 1);
    EXPECT_FALSE(take(gfxDriverName(1)).empty());
    // With the debug flag clear any index outside the list names no driver; the extremes too.
    for (const int32_t bad : {0, -1, INT32_MIN, INT32_MAX, countGfxDrivers() + 1}) {
        EXPECT_EQ(take(gfxDriverName(bad)), "") << bad;
    }
    EXPECT_EQ(gfxModeExists(640, 480, 24), 1);
    EXPECT_EQ(gfxModeExists(640, 480, 0), 0) << "depth 0 matches no mode";
    setGfxDriver(1);
    EXPECT_EQ(gfxModeWidth(1), 0) << "SetGfxDriver empties the list";
}

}  // namespace
}  // namespace tx
