// The text console: Write and Print in the current font, scrolling by what the next line needs,
// Locate's clamping, the start-up window a first Print opens, and Input's line editing with its
// caret and key repeat, driven by a scripted clock and keyboard.
#include <functional>
#include <map>

#include "canvas_test_util.h"
#include "graphics_fixture.h"
#include "input_state.h"

namespace tx {
namespace {

// Input's clock and pause, scripted: every pause moves the clock 20 ms on and then runs what
// the script says happens at that time (keys pressed or released, pixels checked).
uint32_t scriptedNow = 0;
std::multimap<uint32_t, std::function<void()>> script;
uint32_t readScriptedNow() {
    return scriptedNow;
}
bool scriptedPause(HostRuntime& runtime, int32_t milliseconds) {
    scriptedNow += static_cast<uint32_t>(milliseconds);
    while (!script.empty() && script.begin()->first <= scriptedNow) {
        script.extract(script.begin()).mapped()();
    }
    return runtime.idle();
}

class ConsoleTest : public test::GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        ModuleState<InputState>::open(std::make_unique<InputState>(*runtime));
        state().console.timing = {&readScriptedNow, &scriptedPause};
        scriptedNow = 0;
        script.clear();
    }
    void TearDown() override {
        ModuleState<InputState>::close();
        GraphicsTest::TearDown();
    }
    static HostInput& keys() { return ModuleState<InputState>::find()->input; }
    // A key pressed and released at a time of the script.
    static void typeAt(uint32_t time, int32_t code) {
        script.emplace(time, [code] {
            keys().keyChanged(code, true);
            keys().keyChanged(code, false);
        });
    }
    static HostCanvas& front() { return state().graphics->frontBuffer(); }
    static std::pair<int32_t, int32_t> cursor() {
        return {state().console.cursorX, state().console.cursorY};
    }
};

TEST_F(ConsoleTest, AFirstPrintOpensTheWindowWriteAndPrintShareALineAndTheBottomLineScrolls) {
    // Without a mode set by the program, the first Print opens the 400 x 300 start-up window;
    // the images of the old display go with it.
    ASSERT_NE(createImage(state(), 8, 8, 1), 0u);
    print(state(), arg(""));
    EXPECT_EQ(size(), std::make_tuple(400, 300, std::get<2>(size())));
    EXPECT_EQ(state().images.size(), 0u);
    const int32_t h = fontHeight(state());
    write(state(), arg("A"));
    print(state(), arg("B"));
    EXPECT_EQ(cursor(), std::pair(0, 2 * h));
    // The same two letters as one Text call draws them on a black canvas.
    auto reference = test::makeCanvas(400, 300, front().format());
    reference->setFont(state().currentFont);
    reference->text(0, h, "AB");
    EXPECT_EQ(test::values(front()), test::values(*reference));

    // The bottom line: printing there needs no scroll; the next line scrolls by exactly h.
    clsColor(10, 20, 30);
    front().setPixel(5, h + 20, 0xFF00FF00u);
    locate(state(), 0, 300 - h);
    print(state(), arg(""));
    EXPECT_EQ(state().console.cursorY, 300);
    EXPECT_EQ(front().getPixel(5, h + 20), 0xFF00FF00u);
    print(state(), arg("C"));
    EXPECT_EQ(front().getPixel(5, 20), 0xFF00FF00u) << "moved up by one line";
    EXPECT_EQ(front().getPixel(399, 300 - h), 0xFF0A141Eu) << "the freed strip in the clear colour";

    // Locate clamps to the buffer, edges included.
    locate(state(), 9999, -5);
    EXPECT_EQ(cursor(), std::pair(400, 0));
}

TEST_F(ConsoleTest, InputEditsTheLineWithItsKeysTheCaretBlinksAndAHeldKeyRepeats) {
    constexpr int32_t kA = 30, kB = 48, kC = 46, kX = 45, kY = 21, kQ = 16, kH = 35, kI = 23,
                      kLeft = 203, kRight = 205, kBackspace = 14, kHome = 199, kDelete = 211,
                      kEnd = 207, kEscape = 1, kEnter = 28;
    const int32_t promptWidth = stringWidth(state(), arg("? "));
    // The caret: a block in the inverted clear colour (black) while shown, the background while
    // hidden (its first phase lasts 320 ms).
    uint32_t shown = 0, hidden = 0;
    script.emplace(20, [&] { shown = front().getPixel(promptWidth + 1, 1); });
    script.emplace(340, [&] { hidden = front().getPixel(promptWidth + 1, 1); });
    // "abc"; Backspace after two Lefts takes the a ("bc", at the start); Right, Delete takes
    // the c ("b"); Right and Delete at the end do nothing; x at the end, y at the start.
    uint32_t t = 400;
    for (const int32_t key : {kA, kB, kC, kLeft, kLeft, kBackspace, kRight, kDelete, kEnd, kRight,
                              kDelete, kX, kHome, kLeft, kY, kEnter})
        typeAt(t += 20, key);
    EXPECT_EQ(take(input(state(), arg("? "))), "ybx");
    // Escape empties the line and editing goes on.
    for (const int32_t key : {kQ, kEscape, kH, kI, kEnter}) typeAt(t += 20, key);
    EXPECT_EQ(take(input(state(), arg("? "))), "hi");
    EXPECT_EQ(shown, 0xFFFFFFFFu);
    EXPECT_EQ(hidden, 0xFF000000u);
    EXPECT_EQ(cursor(), std::pair(0, 2 * fontHeight(state())));

    // A held key repeats after 280 ms, then every 40 ms. Pressed at t: one 'a' at once,
    // repeats at t + 300 (the first poll past 280), 340, 380, 420, 460 and 500; released at
    // t + 510.
    t = scriptedNow;
    keys().keyChanged(kA, true);
    script.emplace(t + 510, [] { keys().keyChanged(kA, false); });
    typeAt(t + 600, kEnter);
    EXPECT_EQ(take(input(state(), arg(""))), "aaaaaaa");
    EXPECT_TRUE(script.empty());
}

}  // namespace
}  // namespace tx
