// Joysticks on SDL, with SDL's virtual devices: a device known as a game controller reads as a
// gamepad with its sticks and buttons, a plain one as another joystick, and unplugging takes a
// device out of the list.
#include <SDL.h>
#include <gtest/gtest.h>

#include "sdl_joysticks.h"

namespace tx {
namespace {

TEST(SdlJoysticks, VirtualDevicesArePluggedInReadAndUnplugged) {
    SdlJoysticks joysticks;
    joysticks.refresh();  // starts SDL's joysticks
    ASSERT_NE(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
    const int32_t before = joysticks.count();

    const int pad = SDL_JoystickAttachVirtual(
        SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    const int stick = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 2, 4, 0);
    ASSERT_GE(pad, 0) << SDL_GetError();
    ASSERT_GE(stick, 0) << SDL_GetError();
    joysticks.refresh();
    ASSERT_EQ(joysticks.count(), before + 2);
    const int32_t padPort = before;
    const int32_t stickPort = before + 1;
    EXPECT_EQ(joysticks.type(padPort), JoystickDevices::kGamepad);
    EXPECT_EQ(joysticks.type(stickPort), JoystickDevices::kOtherJoystick);

    SDL_Joystick* padDevice =
        SDL_JoystickFromInstanceID(static_cast<SDL_JoystickID>(joysticks.identity(padPort)));
    SDL_Joystick* stickDevice =
        SDL_JoystickFromInstanceID(static_cast<SDL_JoystickID>(joysticks.identity(stickPort)));
    ASSERT_NE(padDevice, nullptr);
    ASSERT_NE(stickDevice, nullptr);
    SDL_JoystickSetVirtualAxis(padDevice, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualAxis(padDevice, SDL_CONTROLLER_AXIS_LEFTY, 32767);
    SDL_JoystickSetVirtualAxis(padDevice, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    SDL_JoystickSetVirtualButton(padDevice, SDL_CONTROLLER_BUTTON_B, 1);
    SDL_JoystickSetVirtualAxis(stickDevice, 1, 32767);
    SDL_JoystickSetVirtualButton(stickDevice, 3, 1);
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
    SDL_JoystickDetachVirtual(pad);
    joysticks.refresh();
    ASSERT_EQ(joysticks.count(), before + 1);
    EXPECT_EQ(joysticks.identity(before), stickIdentity) << "the later port moves down";
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == static_cast<SDL_JoystickID>(stickIdentity))
            SDL_JoystickDetachVirtual(index);
    joysticks.refresh();
    EXPECT_EQ(joysticks.count(), before);
}

}  // namespace
}  // namespace tx
