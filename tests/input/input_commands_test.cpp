// The input commands over a runtime: the window's events as the SDL source delivers them
// (pushed SDL events under the offscreen driver), the mouse in every display mode, full
// screen's captured mouse, and joysticks plugged in, moved and unplugged (the null backend's,
// and SDL's virtual devices).
#include <gtest/gtest.h>

#include <optional>

#include "host_runtime.h"
#include "input_commands.h"
#include "null_joysticks.h"
#include "sdl_test_events.h"

namespace tx {
namespace {

// The joystick polls' clock, moved by hand.
HostInput::Clock::time_point fakeNow{};
HostInput::Clock::time_point readFakeNow() {
    return fakeNow;
}

class InputOnNullBackend : public ::testing::Test {
protected:
    void SetUp() override {
        HostBackend backend = openNullBackend();
        joysticks = static_cast<NullJoysticks*>(backend.joysticks.get());
        runtime = HostRuntime::open("", nullptr, std::move(backend));
        ASSERT_NE(runtime, nullptr);
        state = std::make_unique<InputState>(*runtime, &readFakeNow);
    }
    void open(int32_t width, int32_t height, uint32_t flags) {
        ASSERT_TRUE(runtime->display().openGraphics(width, height, 0, 0, flags).has_value());
    }
    void later() { fakeNow += HostInput::kJoystickPollPeriod; }

    std::unique_ptr<HostRuntime> runtime;
    NullJoysticks* joysticks = nullptr;  // owned by the runtime
    std::unique_ptr<InputState> state;
};

// The window's pointer maps through the picture's placement and is clamped to the graphics;
// full screen captures the mouse and moves an internal position by the relative motion.
TEST_F(InputOnNullBackend, MousePositionsMapIntoTheGraphicsOfEveryMode) {
    HostInput& feed = state->input;
    // The scaled window stretches 400 x 300 over the null device's 1024 x 768 client area;
    // integer scaling makes it 800 x 600 at (112, 84), where (313, 184) is in pixel (100, 50).
    open(400, 300, Display::kWindowed | Display::kScaled);
    for (const auto& [integer, windowX, windowY, x, y] :
         {std::tuple(false, 512, 384, 200, 150), std::tuple(false, 5000, -20, 399, 0),
          std::tuple(true, 313, 184, 100, 50), std::tuple(true, 10, 10, 0, 0),
          std::tuple(true, 1020, 760, 399, 299)}) {
        runtime->display().setIntegerScaling(integer);
        feed.mouseMoved(windowX, windowY, 0, 0);
        EXPECT_EQ(std::pair(mouseX(*state), mouseY(*state)), std::pair(x, y)) << windowX;
    }
    feed.keyChanged(30, true);
    ASSERT_TRUE(runtime->display().toggleFullscreen());
    EXPECT_EQ(keyHit(*state, 30), 1) << "the player's toggle keeps what the devices hold";
    runtime->display().closeGraphics();

    open(640, 480, Display::kWindowed);  // fixed: 1:1 at the top left
    feed.wheelTurned(240);
    EXPECT_EQ(mouseZ(*state), 2);

    moveMouse(*state, 100, 50);
    EXPECT_EQ(mouseX(*state), 100);
    EXPECT_EQ(std::pair(mouseXSpeed(*state), mouseYSpeed(*state)), std::pair(0, 0))
        << "MoveMouse sets where speeds are measured from";
    feed.mouseMoved(90, 70, -10, 20);
    EXPECT_EQ(std::pair(mouseXSpeed(*state), mouseYSpeed(*state)), std::pair(-10, 20));

    runtime->display().closeGraphics();
    feed.keyChanged(30, true);
    open(1024, 768, 0);  // full screen, in the null monitor's one mode
    EXPECT_EQ(keyDown(*state, 30), 0) << "reset on entering full screen";
    feed.mouseMoved(0, 0, 50, 30);
    EXPECT_EQ(std::pair(mouseX(*state), mouseY(*state)), std::pair(50, 30));
    feed.mouseMoved(0, 0, 10000, -10000);
    EXPECT_EQ(std::pair(mouseX(*state), mouseY(*state)), std::pair(1023, 0));
    moveMouse(*state, 10, 20);  // only the internal position
    feed.mouseMoved(999, 999, 1, 1);
    EXPECT_EQ(std::pair(mouseX(*state), mouseY(*state)), std::pair(11, 21));
    // Toggled to a window by the player, full screen reads the pointer as it is.
    ASSERT_TRUE(runtime->display().toggleFullscreen());
    feed.mouseMoved(700, 500, 5, 5);
    EXPECT_EQ(std::pair(mouseX(*state), mouseY(*state)), std::pair(700, 500));
}

TEST_F(InputOnNullBackend, JoysticksComeAndGoAndArePolledAtMostEveryThreeMilliseconds) {
    const int32_t pad = joysticks->plug(JoystickDevices::kGamepad);
    joysticks->plug(JoystickDevices::kOtherJoystick);
    later();
    for (const auto& [port, type] :
         {std::pair(0, 1), std::pair(1, 2), std::pair(5, 0), std::pair(-1, 0)})
        EXPECT_EQ(joyType(*state, port), type) << port;

    constexpr float kThird = 1.0f / 3.0f;
    const float axes[][2] = {{kThird, 0}, {-kThird, 0}, {0.34f, 1}, {-0.34f, -1}, {1.0f, 1}};
    for (const auto& [value, direction] : axes) {
        joysticks->state(pad).axes[0] = value;
        later();
        EXPECT_EQ(joyX(*state, 0), value);
        EXPECT_EQ(joyXDir(*state, 0), static_cast<int32_t>(direction)) << value;
    }

    // Between polls the state stays as it was.
    joysticks->state(pad).buttons = 0b101;  // buttons 1 and 3
    EXPECT_EQ(joyDown(*state, 1, 0), 0);
    later();
    EXPECT_EQ(joyDown(*state, 1, 0), 1);
    EXPECT_EQ(joyHit(*state, 3, 0), 1);
    EXPECT_EQ(getJoy(*state, 0), 1);
    EXPECT_EQ(getJoy(*state, 0), 3);
    EXPECT_EQ(waitJoy(*state, 7), 0) << "a bad port returns at once";

    // Unplugging the first moves the second down; the gone port reads as a bad one.
    joysticks->unplug(pad);
    later();
    EXPECT_EQ(joyType(*state, 0), 2);
    EXPECT_EQ(joyType(*state, 1), 0);
    EXPECT_EQ(joyX(*state, 1), 0.0f);
    EXPECT_EQ(joyDown(*state, 1, 1), 0);
}

// The SDL backend: keys, buttons and the wheel as a window delivers them, and SDL's virtual
// joysticks, a game controller read as a gamepad and a plain device as another joystick.
TEST(InputOnSdl, KeysButtonsTheWheelAndJoysticksArriveAsTheProgramsCodes) {
    auto runtime = HostRuntime::open("", nullptr, 0);
    ASSERT_NE(runtime, nullptr);
    InputState state(*runtime, &readFakeNow);
    constexpr int kSdlA = 4, kSdlUp = 82, kSdlF1 = 58, kSdlDelete = 76, kSdlLeftShift = 225;

    // A held key repeats on SDL's side: one press.
    ASSERT_TRUE(test::pushSdlKey(kSdlA, true));
    test::pushSdlKey(kSdlA, true, true);
    EXPECT_EQ(keyHit(state, 30), 1);
    EXPECT_EQ(getKey(state), 'a');
    EXPECT_EQ(getKey(state), 0);
    test::pushSdlKey(kSdlA, false);
    EXPECT_EQ(keyDown(state, 30), 0);

    for (const int scancode : {kSdlF1, kSdlUp, kSdlDelete}) {
        test::pushSdlKey(scancode, true);
        test::pushSdlKey(scancode, false);
    }
    EXPECT_EQ(getKey(state), 0) << "F1 gives no character and is gone";
    EXPECT_EQ(getKey(state), 28);
    EXPECT_EQ(getKey(state), 4);
    test::pushSdlKey(kSdlLeftShift, true);
    test::pushSdlKey(kSdlA, true);
    EXPECT_EQ(waitKey(state), 'A');

    // SDL counts left, middle, right; the program left, right, middle.
    test::pushSdlMouseButton(3, true);
    test::pushSdlMouseButton(2, true);
    EXPECT_EQ(mouseDown(state, 2), 1);
    EXPECT_EQ(getMouse(state), 2);
    EXPECT_EQ(waitMouse(state), 3);
    test::pushSdlWheel(2);
    EXPECT_EQ(mouseZ(state), 2);

    ::setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);  // read without the focus
    int32_t pad = 0;  // the first free port (the first poll starts SDL's joysticks)
    while (joyType(state, pad) != 0) ++pad;
    std::optional<test::VirtualGamepad> gamepad(std::in_place), stick(std::in_place, true);
    ASSERT_TRUE(gamepad->plug() && stick->plug());
    fakeNow += HostInput::kJoystickPollPeriod;
    EXPECT_EQ(std::pair(joyType(state, pad), joyType(state, pad + 1)), std::pair(1, 2));
    // Moved once they are open: the left stick, the left trigger (SDL's axis 4) and B.
    gamepad->setAxis(0, -32768);
    gamepad->setAxis(1, 32767);
    gamepad->setAxis(4, 32767);
    gamepad->setButton(1, true);
    stick->setAxis(1, 32767);
    stick->setButton(3, true);
    fakeNow += HostInput::kJoystickPollPeriod;
    EXPECT_EQ(std::tuple(joyX(state, pad), joyY(state, pad), joyZ(state, pad)),
              std::tuple(-1.0f, 1.0f, 1.0f))
        << "the left trigger pushes the shared axis up";
    EXPECT_EQ(std::pair(joyY(state, pad + 1), joyZ(state, pad + 1)), std::pair(1.0f, 0.0f))
        << "an axis the device lacks";
    EXPECT_EQ(std::pair(joyDown(state, 2, pad), joyDown(state, 4, pad + 1)), std::pair(1, 1));

    gamepad.reset();
    fakeNow += HostInput::kJoystickPollPeriod;
    EXPECT_EQ(std::pair(joyType(state, pad), joyDown(state, 4, pad)), std::pair(2, 1))
        << "the later port moves down";
    stick.reset();
    fakeNow += HostInput::kJoystickPollPeriod;
    EXPECT_EQ(joyType(state, pad), 0);
}

}  // namespace
}  // namespace tx
