// A runtime error is drawn in the program's window before the debugger hears of it: the
// message in a box over the last picture, the full-screen window made a window first. Read back
// from the offscreen window when the error is reported.
#include <gtest/gtest.h>

#include "guest_runner.h"
#include "sdl_test_events.h"

namespace tx::test {
namespace {

struct WindowReadingDebugger : RecordingDebugger {
    void debugError(const char* message) override {
        RecordingDebugger::debugError(message);
        shown = windowPixels(width, height);
    }
    int width = 0;
    int height = 0;
    std::vector<uint32_t> shown;
    uint32_t at(int x, int y) const { return shown[static_cast<size_t>(y) * width + x]; }
};

TEST(ErrorInWindow, TheMessageIsDrawnOverTheLastPicture) {
    const std::vector<uint8_t> image = fileBytes(TERVEX_GUEST_DIR "/graphics.tmi");
    GuestMachine machine;
    RuntimeInterface& runtime = runtimeGetRuntime();
    const LinkResult linked = link(runtime, image, machine);
    ASSERT_EQ(linked.status, LinkResult::Status::Linked);
    WindowReadingDebugger debugger;
    EXPECT_EQ(runtime.execute(ProgramEntry{&machine, linked.entry}, "error", &debugger, false, 0),
              RunOutcome::RuntimeError);
    ASSERT_EQ(debugger.errors, std::vector<std::string>{"Image does not exist"});

    // A 640 x 480 window again, the picture one to one.
    ASSERT_EQ(std::pair(debugger.width, debugger.height), std::pair(640, 480));
    EXPECT_EQ(debugger.at(50, 50), 0xFF0000u);
    EXPECT_EQ(debugger.at(600, 50), 0u);
    // The box in the middle: its border on the middle row (its red as 16 bits keep it), white
    // text inside.
    int left = 0;
    while (left < 320 && (debugger.at(left, 240) & 0xF0F0F0) != 0xE04040u) ++left;
    ASSERT_LT(left, 320) << "no box";
    int white = 0;
    for (int y = 200; y < 280; ++y)
        for (int x = left; x < 640 - left; ++x) white += debugger.at(x, y) == 0xFFFFFFu;
    EXPECT_GT(white, 50);
}

}  // namespace
}  // namespace tx::test
