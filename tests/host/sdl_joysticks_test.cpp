// Joysticks on SDL, with SDL's virtual devices: a device known as a game controller reads as a
// gamepad with its sticks and buttons, a plain one as another joystick, and unplugging takes a
// device out of the list.
#include <SDL.h>
#include <gtest/gtest.h>

#include <optional>

#include "sdl_joysticks.h"
#include "sdl_test_events.h"

namespace tx {
namespace {

TEST(SdlJoysticks, VirtualDevicesArePluggedInReadAndUnplugged) {
    SdlJoysticks joysticks;
    joysticks.refresh();  // starts SDL's joysticks
    const int32_t before = joysticks.count(), padPort = before, stickPort = before + 1;
    std::optional<test::VirtualGamepad> pad(std::in_place), stick(std::in_place, true);
    ASSERT_TRUE(pad->plug() && stick->plug()) << SDL_GetError();
    joysticks.refresh();
    ASSERT_EQ(joysticks.count(), before + 2);
    EXPECT_EQ(joysticks.type(padPort), JoystickDevices::kGamepad);
    EXPECT_EQ(joysticks.type(stickPort), JoystickDevices::kOtherJoystick);
    // Moved once they are open.
    pad->setAxis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    pad->setAxis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
    pad->setAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    pad->setButton(SDL_CONTROLLER_BUTTON_B, true);
    stick->setAxis(1, 32767);
    stick->setButton(3, true);
    joysticks.refresh();

    JoystickReading reading;
    ASSERT_TRUE(joysticks.read(padPort, reading));
    EXPECT_EQ(reading.axes[0], -1.0f);
    EXPECT_EQ(reading.axes[1], 1.0f);
    EXPECT_EQ(reading.axes[2], 1.0f) << "the left trigger pushes the shared axis up";
    EXPECT_EQ(reading.buttons, 1u << SDL_CONTROLLER_BUTTON_B);
    ASSERT_TRUE(joysticks.read(stickPort, reading));
    EXPECT_EQ(reading.axes[1], 1.0f);
    EXPECT_EQ(reading.axes[2], 0.0f) << "an axis the device lacks";
    EXPECT_EQ(reading.buttons, 1u << 3);

    const uint32_t stickIdentity = joysticks.identity(stickPort);
    pad.reset();
    joysticks.refresh();
    ASSERT_EQ(joysticks.count(), before + 1);
    EXPECT_EQ(joysticks.identity(before), stickIdentity) << "the later port moves down";
    stick.reset();
    joysticks.refresh();
    EXPECT_EQ(joysticks.count(), before);
}

}  // namespace
}  // namespace tx
