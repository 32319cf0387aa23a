// The input devices' state and the characters keys give: the rules every device shares (one
// press counted and queued once, the 32-press queue, flushing, codes outside the arrays), and
// the US layout with its modifiers.
#include <gtest/gtest.h>

#include "input_device.h"
#include "key_characters.h"

namespace tx {
namespace {

TEST(InputDevice, PressesAreCountedOnceQueuedUpToThirtyTwoAndFlushedWithoutTheirState) {
    InputDevice device;
    device.setState(30, true);
    device.setState(30, true);  // still held: no second press
    EXPECT_TRUE(device.isDown(30));
    EXPECT_EQ(device.takeHits(30), 1);
    EXPECT_EQ(device.takeHits(30), 0);
    EXPECT_EQ(device.takeQueued(), 30);
    EXPECT_EQ(device.takeQueued(), 0);
    device.setState(30, false);
    EXPECT_FALSE(device.isDown(30));

    // The 33rd press before any is taken is counted and not queued.
    for (int32_t i = 1; i <= 33; ++i) device.press(i);
    EXPECT_EQ(device.takeHits(33), 1);
    for (int32_t i = 1; i <= 32; ++i) ASSERT_EQ(device.takeQueued(), i);
    EXPECT_EQ(device.takeQueued(), 0);
    // The queue wraps round: a taken slot is free again.
    device.press(7);
    EXPECT_EQ(device.takeQueued(), 7);

    device.setAxis(2, 240.0f);
    device.press(5);
    device.flush();
    EXPECT_EQ(device.takeHits(5), 0);
    EXPECT_EQ(device.takeQueued(), 0);
    EXPECT_TRUE(device.isDown(5)) << "a flush keeps what is down";
    EXPECT_EQ(device.axis(2), 240.0f) << "and the axes";
    device.reset();
    EXPECT_FALSE(device.isDown(5));
    EXPECT_EQ(device.axis(2), 0.0f);

    // Codes and axes outside the arrays read 0 and change nothing.
    for (const int32_t code : {-1, 256, 1 << 30}) {
        device.press(code);
        EXPECT_FALSE(device.isDown(code));
        EXPECT_EQ(device.takeHits(code), 0);
    }
    EXPECT_EQ(device.takeQueued(), 0);
    device.setAxis(32, 1.0f);
    device.addToAxis(-1, 1.0f);
    EXPECT_EQ(device.axis(32), 0.0f);
    EXPECT_EQ(device.axis(-1), 0.0f);
}

TEST(KeyCharacters, UsLayoutWithShiftCtrlAndAltAndTheFixedControlCodes) {
    constexpr int32_t kShift = 42, kRightShift = 54, kCtrl = 29, kRightAlt = 184;
    struct Case {
        int32_t code;
        std::initializer_list<int32_t> held;
        int32_t character;
    };
    const Case cases[] = {
        {30, {}, 'a'},
        {30, {kShift}, 'A'},
        {30, {kRightShift}, 'A'},
        {3, {}, '2'},
        {3, {kShift}, '@'},
        {57, {}, ' '},
        {28, {}, 13},
        {156, {}, 13},
        {181, {}, '/'},  // keypad Enter, '/'
        {1, {}, 27},
        {46, {kCtrl}, 3},
        {26, {kCtrl}, 27},
        {28, {kCtrl}, 10},
        {3, {kCtrl}, 0},
        {30, {kCtrl, kRightAlt}, 0},  // AltGr gives nothing here
        {30, {kRightAlt}, 'a'},
        {59, {}, 0},  // F1
        {199, {}, 1},
        {207, {}, 2},
        {210, {}, 3},
        {211, {}, 4},
        {201, {}, 5},
        {209, {}, 6},
        {200, {}, 28},
        {208, {}, 29},
        {205, {}, 30},
        {203, {kShift}, 31},
        {202, {}, '-'},
        {-5, {}, 0},
        {300, {}, 0},
    };
    for (const Case& c : cases) {
        InputDevice keyboard;
        for (const int32_t modifier : c.held) keyboard.press(modifier);
        EXPECT_EQ(asciiOfKey(c.code, keyboard), c.character) << "key " << c.code;
    }
}

}  // namespace
}  // namespace tx
