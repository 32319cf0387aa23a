// The player's comforts seen from the program: the full-screen toggle, a screenshot and the
// error box change nothing it can read (size, depth, buffers and their pixels); the screenshot
// holds the picture and the error box draws the message over it.
#include <ctime>
#include <fstream>
#include <vector>

#include "graphics_fixture.h"
#include "png_pixels.h"
#include "screenshot.h"
#include "test_files.h"

namespace tx::test {
namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

// Every pixel of a buffer as the program reads it, 0x00RRGGBB.
std::vector<uint32_t> pictureOf(uint32_t buffer) {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x)
            pixels.push_back(static_cast<uint32_t>(readPixel(x, y, buffer)) & 0xFFFFFF);
    return pixels;
}

TEST_F(GraphicsTest, TheProgramSeesNoneOfThePlayersToggleScreenshotOrErrorBox) {
    graphics(state(), kWidth, kHeight, 0, 2);
    setBuffer(state(), backBuffer(state()));
    color(255, 0, 0);
    rect(10, 10, 100, 50, 1);
    color(0, 128, 255);
    oval(150, 100, 120, 90, 1);
    flip(state(), 0);
    const uint32_t front = frontBuffer(state());
    const auto before = std::tuple(size(), front, pictureOf(front));
    const auto programView = [&] {
        return std::tuple(size(), frontBuffer(state()), pictureOf(front));
    };
    Display& display = runtime->display();

    for (int turn = 0; turn < 2; ++turn) {
        ASSERT_TRUE(display.toggleFullscreen());
        EXPECT_EQ(video->fullscreen(), turn == 0);
        EXPECT_EQ(display.graphicsMode(), GraphicsMode::WindowedFixed);
        EXPECT_EQ(programView(), before) << turn;
        EXPECT_EQ(shownAt(20, 20), 0xFF0000u) << "the picture is shown again at once";
    }

    // Two shots in the same second: the second takes the next free name.
    const TempDir dir;
    display.setScreenshotDirectory(dir.path());
    display.requestScreenshot();
    const std::string shot = display.lastScreenshot();
    display.requestScreenshot();
    EXPECT_NE(display.lastScreenshot(), shot);
    const PngPicture png = loadPng(shot);
    EXPECT_EQ(png.pixels, std::get<2>(before));
    EXPECT_EQ(std::pair(png.width, png.height), std::pair(kWidth, kHeight));

    runtime->debugError("Image does not exist: a long message that the box wraps over lines");
    EXPECT_EQ(programView(), before);
    // The box: centred, bordered, with the text in white; the picture around it as it was.
    int32_t left = 0;
    while (left < kWidth / 2 && shownAt(left, kHeight / 2) != 0xE04040u) ++left;
    ASSERT_LT(left, kWidth / 2) << "no box border on the middle row";
    int32_t top = 0;
    while (top < kHeight / 2 && shownAt(kWidth / 2, top) != 0xE04040u) ++top;
    int32_t white = 0;
    for (int32_t y = top; y < kHeight - top; ++y)
        for (int32_t x = left; x < kWidth - left; ++x) white += shownAt(x, y) == 0xFFFFFFu;
    EXPECT_GT(white, 200) << "two lines of text at least";
    EXPECT_LT(left, 16) << "a long message takes nearly the whole width";
    EXPECT_EQ(shownAt(20, 20), 0xFF0000u);
    EXPECT_EQ(shownAt(kWidth - 1, kHeight - 1), 0u);
}

// The screenshot's name is never one that exists: the time, then -1, -2 and so on.
TEST(Screenshots, NamesCountUpWithinTheSameSecondAndNeverOverwrite) {
    const TempDir dir;
    const uint32_t pixels[2] = {0x123456, 0xABCDEF};
    const FramePixels frame{reinterpret_cast<const uint8_t*>(pixels), 8, 2, 1, 32};
    const std::time_t when = 1'700'000'000;
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = dir.path() + "/tervex-" + stamp;
    std::ofstream(base + "-1.png") << "kept";
    EXPECT_EQ(saveScreenshot(frame, dir.path(), when), base + ".png");
    EXPECT_EQ(saveScreenshot(frame, dir.path(), when), base + "-2.png");
    EXPECT_EQ(fileText(base + "-1.png"), "kept");
    EXPECT_EQ(loadPng(base + "-2.png").pixels, (std::vector<uint32_t>{0x123456, 0xABCDEF}));
    EXPECT_FALSE(saveScreenshot(frame, dir.path() + "/missing", when));
}

}  // namespace
}  // namespace tx::test
