#include "input_commands.h"

#include "host_runtime.h"
#include "key_characters.h"
#include "tx_error.h"

namespace tx {
namespace {

// The wait commands look again every 20 ms, pumping meanwhile.
constexpr int32_t kWaitPollMs = 20;

void delayOrEnd(InputState& state) {
    if (!state.input.runtime().delay(kWaitPollMs)) endQuietly();
}

// MouseX, MouseY: the axis truncated toward zero; MouseZ: wheel notches.
int32_t mouseAxis(InputState& state, int32_t axis) {
    const float value = state.input.mouse().axis(axis);
    return static_cast<int32_t>(axis == 2 ? value * (1.0f / 120.0f) : value);
}

int32_t speed(InputState& state, int32_t axis, int32_t& last) {
    const int32_t now = mouseAxis(state, axis);
    const int32_t moved = now - last;
    last = now;
    return moved;
}

float joyAxis(InputState& state, int32_t axis, int32_t port) {
    InputDevice* joystick = state.input.joystick(port);
    return joystick != nullptr ? joystick->axis(axis) : 0.0f;
}

// -1 below -1/3, +1 above +1/3, else 0.
int32_t direction(float value) {
    constexpr float kThird = 1.0f / 3.0f;
    return value < -kThird ? -1 : value > kThird ? 1 : 0;
}

}  // namespace

// ---- Keyboard

int32_t keyDown(InputState& state, int32_t key) {
    return state.input.keyboard().isDown(key) ? 1 : 0;
}

int32_t keyHit(InputState& state, int32_t key) {
    return state.input.keyboard().takeHits(key);
}

int32_t getKey(InputState& state) {
    const int32_t code = state.input.keyboard().takeQueued();
    return code != 0 ? asciiOfKey(code, state.input.keyboardState()) : 0;
}

// Keys that give no character are taken and dropped.
int32_t waitKey(InputState& state) {
    for (;;) {
        if (const int32_t code = state.input.keyboard().takeQueued(); code != 0)
            if (const int32_t c = asciiOfKey(code, state.input.keyboardState()); c != 0) return c;
        delayOrEnd(state);
    }
}

void flushKeys(InputState& state) {
    state.input.keyboard().flush();
}

// ---- Mouse

int32_t mouseDown(InputState& state, int32_t button) {
    return state.input.mouse().isDown(button) ? 1 : 0;
}

int32_t mouseHit(InputState& state, int32_t button) {
    return state.input.mouse().takeHits(button);
}

int32_t getMouse(InputState& state) {
    return state.input.mouse().takeQueued();
}

int32_t waitMouse(InputState& state) {
    for (;;) {
        if (const int32_t button = state.input.mouse().takeQueued(); button != 0) return button;
        delayOrEnd(state);
    }
}

int32_t mouseX(InputState& state) {
    return mouseAxis(state, 0);
}

int32_t mouseY(InputState& state) {
    return mouseAxis(state, 1);
}

int32_t mouseZ(InputState& state) {
    return mouseAxis(state, 2);
}

int32_t mouseXSpeed(InputState& state) {
    return speed(state, 0, state.lastMouseX);
}

int32_t mouseYSpeed(InputState& state) {
    return speed(state, 1, state.lastMouseY);
}

int32_t mouseZSpeed(InputState& state) {
    return speed(state, 2, state.lastMouseZ);
}

void flushMouse(InputState& state) {
    state.input.mouse().flush();
}

void moveMouse(InputState& state, int32_t x, int32_t y) {
    state.lastMouseX = x;
    state.lastMouseY = y;
    state.input.moveMouse(x, y);
}

// ---- Joysticks (a port that names no joystick reads 0)

int32_t joyType(InputState& state, int32_t port) {
    return state.input.joystickType(port);
}

int32_t joyDown(InputState& state, int32_t button, int32_t port) {
    InputDevice* joystick = state.input.joystick(port);
    return joystick != nullptr && joystick->isDown(button) ? 1 : 0;
}

int32_t joyHit(InputState& state, int32_t button, int32_t port) {
    InputDevice* joystick = state.input.joystick(port);
    return joystick != nullptr ? joystick->takeHits(button) : 0;
}

int32_t getJoy(InputState& state, int32_t port) {
    InputDevice* joystick = state.input.joystick(port);
    return joystick != nullptr ? joystick->takeQueued() : 0;
}

// Joysticks are read by polling, not by the pump: the loop pumps only to stay responsive.
int32_t waitJoy(InputState& state, int32_t port) {
    for (;;) {
        InputDevice* joystick = state.input.joystick(port);
        if (joystick == nullptr) return 0;
        if (const int32_t button = joystick->takeQueued(); button != 0) return button;
        delayOrEnd(state);
    }
}

float joyX(InputState& state, int32_t port) {
    return joyAxis(state, 0, port);
}

float joyY(InputState& state, int32_t port) {
    return joyAxis(state, 1, port);
}

float joyZ(InputState& state, int32_t port) {
    return joyAxis(state, 2, port);
}

int32_t joyXDir(InputState& state, int32_t port) {
    return direction(joyAxis(state, 0, port));
}

int32_t joyYDir(InputState& state, int32_t port) {
    return direction(joyAxis(state, 1, port));
}

int32_t joyZDir(InputState& state, int32_t port) {
    return direction(joyAxis(state, 2, port));
}

void flushJoy(InputState& state) {
    state.input.flushJoysticks();
}

}  // namespace tx
