// Drivers, modes and mode changes through the graphics commands.
#include <gtest/gtest.h>

#include <cstdint>

#include "graphics_test_support.h"

namespace tx {
namespace {

using test::GraphicsTest;

TEST_F(GraphicsTest, TheStartUpWindowIsA400By300WindowWithTheFrontBufferSelected) {
    EXPECT_EQ(graphicsWidth(state()), 400);
    EXPECT_EQ(graphicsHeight(state()), 300);
    EXPECT_EQ(graphicsDepth(state()), 32) << "the desktop's depth";
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_TRUE(video->windowShown());
    EXPECT_NE(frontBuffer(state()), 0u);
    EXPECT_NE(backBuffer(state()), 0u);
    EXPECT_NE(frontBuffer(state()), backBuffer(state()));
    EXPECT_EQ(graphicsBuffer(state()), frontBuffer(state()));
    EXPECT_EQ(totalVidMem(state()), 0);
    EXPECT_EQ(availVidMem(state()), 0);
    EXPECT_FALSE(state().modeSetByProgram);
}

TEST_F(GraphicsTest, GraphicsResetsTheColoursAndFreesEveryBufferOfTheOldMode) {
    color(1, 2, 3);
    clsColor(40, 50, 60);
    const uint32_t oldFront = frontBuffer(state());
    const uint32_t oldBack = backBuffer(state());
    const uint32_t canvas = newCanvas(8, 8);

    graphics(state(), 320, 240, 0, 2);
    EXPECT_EQ(graphicsWidth(state()), 320);
    EXPECT_EQ(graphicsHeight(state()), 240);
    EXPECT_TRUE(state().modeSetByProgram);
    EXPECT_EQ(colorRed(), 255);
    EXPECT_EQ(colorGreen(), 255);
    EXPECT_EQ(colorBlue(), 255);
    writePixel(5, 5, 0x123456, 0);
    cls();
    EXPECT_EQ(readPixel(5, 5, 0), static_cast<int32_t>(0xFF000000)) << "clear colour black";
    EXPECT_EQ(graphicsBuffer(state()), frontBuffer(state()));

    // Handles of the old mode name nothing now; with the debug flag clear they do nothing.
    for (uint32_t stale : {oldFront, oldBack, canvas}) {
        EXPECT_NE(stale, frontBuffer(state()));
        EXPECT_NE(stale, backBuffer(state()));
        EXPECT_EQ(state().buffers.find(stale), nullptr);
        setBuffer(state(), stale);
        EXPECT_EQ(graphicsBuffer(state()), frontBuffer(state()));
        EXPECT_EQ(readPixel(0, 0, stale), 0);
    }
    EXPECT_EQ(state().buffers.size(), 2u);
}

TEST_F(GraphicsTest, ModesOtherThan0To3AreIllegalAndLeaveTheDisplayAsItWas) {
    const uint32_t front = frontBuffer(state());
    for (int32_t mode : {4, -1, 100}) {
        EXPECT_EQ(errorOf([&] { graphics(state(), 640, 480, 0, mode); }), "Illegal Graphics mode");
    }
    EXPECT_EQ(frontBuffer(state()), front);
    EXPECT_EQ(graphicsWidth(state()), 400);
}

TEST_F(GraphicsTest, ModeZeroIsFullScreenWithTheDebugFlagClear) {
    graphics(state(), 640, 480, 0, 0);
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::Fullscreen);
    EXPECT_EQ(graphicsDepth(state()), 16);
    graphics(state(), 640, 480, 24, 1);
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::Fullscreen);
    EXPECT_EQ(graphicsDepth(state()), 24);
    graphics(state(), 200, 100, 16, 3);
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedScaled);
    EXPECT_EQ(graphicsDepth(state()), 32) << "windowed modes ignore the depth";
}

TEST_F(GraphicsTest, AModeThatCannotBeSetEndsTheProgramWithNoDisplayLeft) {
    EXPECT_EQ(errorOf([] { graphics(state(), 641, 480, 16, 1); }), "Unable to set graphics mode");
    EXPECT_EQ(state().graphics, nullptr);
    EXPECT_FALSE(runtime->display().graphicsOpen());
    // Nothing is left to draw into, and nothing breaks.
    EXPECT_EQ(graphicsWidth(state()), 0);
    EXPECT_EQ(frontBuffer(state()), 0u);
    plot(1, 1);
    flip(state(), 0);
    EXPECT_EQ(readPixel(1, 1, 0), 0);
}

TEST_F(GraphicsTest, EndGraphicsReturnsToTheStartUpWindowOnlyAfterGraphics) {
    color(9, 9, 9);
    const uint32_t front = frontBuffer(state());
    endGraphics(state());
    EXPECT_EQ(frontBuffer(state()), front) << "never called Graphics: the display stays";
    EXPECT_EQ(colorRed(), 9);

    graphics(state(), 640, 480, 32, 1);
    color(9, 9, 9);
    endGraphics(state());
    EXPECT_EQ(runtime->display().graphicsMode(), GraphicsMode::WindowedFixed);
    EXPECT_EQ(graphicsWidth(state()), 400);
    EXPECT_EQ(graphicsHeight(state()), 300);
    EXPECT_FALSE(state().modeSetByProgram);
    EXPECT_EQ(colorRed(), 255);
    EXPECT_EQ(graphicsBuffer(state()), frontBuffer(state()));
}

TEST_F(GraphicsTest, TheModeListIsReadByCountGfxModesAndEmptiedBySetGfxDriver) {
    EXPECT_EQ(gfxModeWidth(state(), 1), 0) << "no list before CountGfxModes";
    const int32_t count = countGfxModes(state());
    ASSERT_EQ(count, runtime->display().countGraphicsModes(0));
    ASSERT_GT(count, 0);
    for (int32_t i = 1; i <= count; ++i) {
        const DisplayModeInfo mode = runtime->display().graphicsModeInfo(0, i - 1);
        EXPECT_EQ(gfxModeWidth(state(), i), mode.width);
        EXPECT_EQ(gfxModeHeight(state(), i), mode.height);
        EXPECT_EQ(gfxModeDepth(state(), i), mode.depth);
    }
    EXPECT_EQ(gfxModeWidth(state(), 0), 0);
    EXPECT_EQ(gfxModeDepth(state(), count + 1), 0);

    ASSERT_GE(countGfxDrivers(state()), 1);
    EXPECT_FALSE(take(gfxDriverName(state(), 1)).empty());
    // With the debug flag clear any index outside the list names no driver; the extremes too.
    for (const int32_t bad : {0, -1, INT32_MIN, INT32_MAX, countGfxDrivers(state()) + 1}) {
        EXPECT_EQ(take(gfxDriverName(state(), bad)), "") << bad;
    }
    EXPECT_EQ(gfxModeExists(state(), 640, 480, 24), 1);
    EXPECT_EQ(gfxModeExists(state(), 640, 480, 0), 0) << "depth 0 matches no mode";
    setGfxDriver(state(), 1);
    EXPECT_EQ(gfxModeWidth(state(), 1), 0) << "SetGfxDriver empties the list";
}

}  // namespace
}  // namespace tx
