// The input commands: keyboard, mouse and joysticks, over the module's HostInput.
#pragma once

#include <cstdint>

#include "input_state.h"

namespace tx {

int32_t keyDown(InputState& state, int32_t key);
int32_t keyHit(InputState& state, int32_t key);
int32_t getKey(InputState& state);
int32_t waitKey(InputState& state);
void flushKeys(InputState& state);

int32_t mouseDown(InputState& state, int32_t button);
int32_t mouseHit(InputState& state, int32_t button);
int32_t getMouse(InputState& state);
int32_t waitMouse(InputState& state);
int32_t mouseX(InputState& state);
int32_t mouseY(InputState& state);
int32_t mouseZ(InputState& state);
int32_t mouseXSpeed(InputState& state);
int32_t mouseYSpeed(InputState& state);
int32_t mouseZSpeed(InputState& state);
void flushMouse(InputState& state);
void moveMouse(InputState& state, int32_t x, int32_t y);

int32_t joyType(InputState& state, int32_t port);
int32_t joyDown(InputState& state, int32_t button, int32_t port);
int32_t joyHit(InputState& state, int32_t button, int32_t port);
int32_t getJoy(InputState& state, int32_t port);
int32_t waitJoy(InputState& state, int32_t port);
float joyX(InputState& state, int32_t port);
float joyY(InputState& state, int32_t port);
float joyZ(InputState& state, int32_t port);
int32_t joyXDir(InputState& state, int32_t port);
int32_t joyYDir(InputState& state, int32_t port);
int32_t joyZDir(InputState& state, int32_t port);
void flushJoy(InputState& state);

}  // namespace tx
