// The program's keyboard codes for SDL's keys: the key's set-1 scan code, plus 128 for the
// extended keys (Right Ctrl 157, Home 199, Up 200, ...), as on the original platform.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace tx {

// 0 for keys the original keyboard did not have.
int32_t keyboardCodeOf(SDL_Scancode scancode);

}  // namespace tx
