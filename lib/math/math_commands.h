// The math commands: trigonometry in degrees, square root, rounding, exponential, logarithms and
// the random number generator that Rnd and Rand share.
//
// Arithmetic steps are single precision (SSE float). Sine, cosine, tangent, the arc functions
// and the logarithms are evaluated in double on their float argument and rounded to float.
#pragma once

#include <cstdint>
#include <span>

#include "command.h"

namespace tx {

float mathSin(float degrees);
float mathCos(float degrees);
float mathTan(float degrees);
float mathASin(float value);
float mathACos(float value);
float mathATan(float value);
// y first: the angle of the point (x, y), -180..180.
float mathATan2(float y, float x);
// Square root (not the square).
float mathSqr(float value);
float mathFloor(float value);
float mathCeil(float value);
float mathExp(float value);
float mathLog(float value);
float mathLog10(float value);

// The math module's state: the random generator, started afresh by each creation.
struct MathModule {
    static constexpr const char* kModuleName = "math";
    int32_t randomState = 0x1234;  // 1..2147483646
};

// A random float between from and to (either order); one generator step.
float mathRnd(MathModule& module, float from, float to);
// A random integer from the smaller to the larger of from and to, both included; one step.
int32_t mathRand(MathModule& module, int32_t from, int32_t to);
// Sets the generator state to the low 16 bits of seed (0 becomes 1).
void mathSeedRnd(MathModule& module, int32_t seed);

// The sixteen commands in registration order.
std::span<const CommandDef> mathCommands();

}  // namespace tx
