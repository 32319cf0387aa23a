// The random number generator behind Rnd and Rand: a Lehmer generator modulo 2^31 - 1 with
// multiplier 48271, stepped in Schrage's overflow-free form. Only the low 16 bits of each state
// reach the program, as (k + 0.5) / 65536: never 0, never 1.
#include <algorithm>
#include <cstdint>

#include "math_commands.h"

namespace tx {
namespace {

constexpr int32_t kModulus = 2147483647;  // 2^31 - 1
constexpr int32_t kMultiplier = 48271;
constexpr int32_t kQuotient = kModulus / kMultiplier;   // 44488
constexpr int32_t kRemainder = kModulus % kMultiplier;  // 3399

// Advances the state and returns the step's value in (0, 1), computed exactly.
float step(int32_t& state) {
    const int32_t hi = state / kQuotient;
    const int32_t lo = state - hi * kQuotient;
    int32_t next = kMultiplier * lo - kRemainder * hi;
    if (next < 0) next += kModulus;
    state = next;
    return static_cast<float>(next & 0xFFFF) * 0x1p-16f + 0x1p-17f;
}

}  // namespace

float mathRnd(MathModule& module, float from, float to) {
    const float r = step(module.randomState);
    const float span = to - from;
    const float offset = r * span;
    return offset + from;
}

int32_t mathRand(MathModule& module, int32_t from, int32_t to) {
    const int32_t lo = std::min(from, to);
    const int32_t hi = std::max(from, to);
    const float r = step(module.randomState);
    // The number of integers in lo..hi, counted in 64 bits: a range wider than 2^31 would wrap
    // in 32-bit arithmetic and give results outside it.
    const uint64_t count = uint64_t{static_cast<uint32_t>(hi) - static_cast<uint32_t>(lo)} + 1;
    const float offset = r * static_cast<float>(count);
    // offset < count, so lo + offset stays within lo..hi.
    return static_cast<int32_t>(static_cast<uint32_t>(lo) + static_cast<uint32_t>(offset));
}

void mathSeedRnd(MathModule& module, int32_t seed) {
    module.randomState = seed & 0xFFFF;
    if (module.randomState == 0) module.randomState = 1;
}

}  // namespace tx
