// The integer and float helpers compiled code calls for Abs, Sgn, Mod and ^.
#pragma once

#include <cstdint>
#include <span>

#include "command.h"

namespace tx {

int32_t txAbs(int32_t n);
int32_t txSgn(int32_t n);
// Truncating remainder with the sign of a. A zero divisor and -2147483648 Mod -1 end the program
// with the errors the hardware division would raise.
int32_t txMod(int32_t a, int32_t b);
float txFAbs(float x);
float txFSgn(float x);
float txFMod(float a, float b);
float txFPow(float a, float b);

// The seven routines in registration order.
std::span<const CommandDef> arithmeticSupportRoutines();

}  // namespace tx
