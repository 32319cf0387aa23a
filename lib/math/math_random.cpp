// The random number generator behind Rnd and Rand: a Lehmer generator modulo 2^31 - 1 with
// multiplier 48271, stepped in Schrage's overflow-free form. Only the low 16 bits of each state
// reach the program, as (k + 0.5) / 65536: never 0, never 1.
#include <algorithm>
#include <cstdint>

#include "math_commands.h"

namespace tx {
namespace {

constexpr int32_t kStartState = 0x1234;
constexpr int32_t kModulus = 2147483647;  // 2^31 - 1
constexpr int32_t kMultiplier = 48271;
constexpr int32_t kQuotient = kModulus / kMultiplier;   // 44488
constexpr int32_t kRemainder = kModulus % kMultiplier;  // 3399

int32_t state = kStartState;

// Advances the state and returns the step's value in (0, 1), computed exactly.
float step() {
    const int32_t hi = state / kQuotient;
    const int32_t lo = state - hi * kQuotient;
    int32_t next = kMultiplier * lo - kRemainder * hi;
    if (next < 0) next += kModulus;
    state = next;
    return static_cast<float>(next & 0xFFFF) * 0x1p-16f + 0x1p-17f;
}

}  // namespace

float mathRnd(float from, float to) {
    const float r = step();
    const float span = to - from;
    const float offset = r * span;
    return offset + from;
}

int32_t mathRand(int32_t from, int32_t to) {
    const int32_t lo = std::min(from, to);
    const int32_t hi = std::max(from, to);
    const float r = step();
    // The number of integers in lo..hi, counted in 64 bits: a range wider than 2^31 would wrap
    // in 32-bit arithmetic and give results outside it.
    const uint64_t count = uint64_t{static_cast<uint32_t>(hi) - static_cast<uint32_t>(lo)} + 1;
    const float offset = r * static_cast<float>(count);
    // offset < count, so lo + offset stays within lo..hi.
    return static_cast<int32_t>(static_cast<uint32_t>(lo) + static_cast<uint32_t>(offset));
}

void mathSeedRnd(int32_t seed) {
    state = seed & 0xFFFF;
    if (state == 0) state = 1;
}

int32_t mathRandomState() {
    return state;
}

void mathResetRandom() {
    state = kStartState;
}

}  // namespace tx
