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
    EXPECT_EQ(device.takeHits(30), 1);
    EXPECT_EQ(device.takeQueued(), 30);
    EXPECT_EQ(device.takeQueued(), 0);

    // The 33rd press before any is taken is counted and not queued.
    for (int32_t i = 1; i <= 33; ++i) device.press(i);
    EXPECT_EQ(device.takeHits(33), 1);
    for (int32_t i = 1; i <= 32; ++i) ASSERT_EQ(device.takeQueued(), i);
    EXPECT_EQ(device.takeQueued(), 0);

    device.press(5);
    device.flush();
    EXPECT_EQ(std::pair(device.takeHits(5), device.takeQueued()), std::pair(0, 0));
    EXPECT_TRUE(device.isDown(30)) << "a flush keeps what is down";

    // Codes and axes outside the arrays read 0 and change nothing.
    for (const int32_t code : {-1, 256, 1 << 30}) {
        device.press(code);
        EXPECT_EQ(device.takeHits(code), 0);
    }
    EXPECT_EQ(device.takeQueued(), 0);
    device.setAxis(32, 1.0f);
    EXPECT_EQ(device.axis(32), 0.0f);
}

TEST(KeyCharacters, UsLayoutWithShiftCtrlAndAltAndTheFixedControlCodes) {
    // The modifiers held, as bits over their key codes.
    constexpr int32_t kModifierKeys[] = {42, 54, 29, 184};
    constexpr int32_t kShift = 1, kRightShift = 2, kCtrl = 4, kRightAlt = 8;
    // Keypad Enter and '/' (156, 181) fold onto their base keys; Ctrl with Right Alt is AltGr;
    // Home, End, Insert, Delete, Page Up and Down and the arrows have fixed control codes.
    const int32_t cases[][3] = {{30, 0, 'a'},         {30, kShift, 'A'}, {30, kRightShift, 'A'},
                                {3, 0, '2'},          {3, kShift, '@'},  {57, 0, ' '},
                                {28, 0, 13},          {156, 0, 13},      {181, 0, '/'},
                                {1, 0, 27},           {46, kCtrl, 3},    {26, kCtrl, 27},
                                {28, kCtrl, 10},      {3, kCtrl, 0},     {30, kCtrl | kRightAlt, 0},
                                {30, kRightAlt, 'a'}, {59, 0, 0},        {199, 0, 1},
                                {207, 0, 2},          {210, 0, 3},       {211, 0, 4},
                                {201, 0, 5},          {209, 0, 6},       {200, 0, 28},
                                {208, 0, 29},         {205, 0, 30},      {203, kShift, 31},
                                {202, 0, '-'},        {-5, 0, 0},        {300, 0, 0}};
    for (const auto& [code, held, character] : cases) {
        InputDevice keyboard;
        for (int32_t bit = 0; bit < 4; ++bit)
            if ((held >> bit & 1) != 0) keyboard.press(kModifierKeys[bit]);
        EXPECT_EQ(asciiOfKey(code, keyboard), character) << "key " << code;
    }
}

}  // namespace
}  // namespace tx
