// The player's comforts seen from the program: the full-screen toggle, a screenshot and the
// error box change nothing it can read (size, buffers and their pixels); the screenshot holds
// the picture and takes a name no file has, and the error box is drawn over the picture.
#include <ctime>
#include <fstream>
#include <vector>

#include "graphics_fixture.h"
#include "png_pixels.h"
#include "screenshot.h"
#include "test_files.h"

namespace tx::test {
namespace {

TEST_F(GraphicsTest, TheProgramSeesNoneOfThePlayersToggleScreenshotOrErrorBox) {
    graphics(state(), 320, 240, 0, 2);
    color(255, 0, 0);
    rect(10, 10, 100, 50, 1);
    flip(state(), 0);
    const auto programView = [&] {
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < 240; ++y)
            for (int32_t x = 0; x < 320; ++x)
                pixels.push_back(static_cast<uint32_t>(readPixel(x, y, frontBuffer(state()))) &
                                 0xFFFFFF);
        return std::tuple(size(), frontBuffer(state()), pixels);
    };
    const auto before = programView();
    Display& display = runtime->display();
    for (int turn = 0; turn < 2; ++turn) {
        ASSERT_TRUE(display.toggleFullscreen());
        EXPECT_EQ(video->fullscreen(), turn == 0);
        EXPECT_EQ(programView(), before) << turn;
        EXPECT_EQ(shownAt(20, 20), 0xFF0000u) << "the picture is shown again at once";
    }
    const TempDir dir;
    display.setScreenshotDirectory(dir.path());
    display.requestScreenshot();
    const PngPicture png = loadPng(display.lastScreenshot());
    EXPECT_EQ(png.pixels, std::get<2>(before));

    runtime->debugError("Image does not exist: a long message that the box wraps over lines");
    EXPECT_EQ(programView(), before);
    int32_t border = 0;  // the box's border on the middle row, around the message
    for (int32_t x = 0; x < 320; ++x) border += shownAt(x, 120) == 0xE04040u;
    EXPECT_GE(border, 2);
    EXPECT_EQ(shownAt(20, 20), 0xFF0000u) << "the picture around the box as it was";
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
