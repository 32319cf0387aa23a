#include "arithmetic_routines.h"

#include <cmath>

#include "tx_error.h"

namespace tx {

int32_t txAbs(int32_t n) {
    // -2147483648 wraps to itself, as the two's complement negation does.
    return n >= 0 ? n : static_cast<int32_t>(0u - static_cast<uint32_t>(n));
}

int32_t txSgn(int32_t n) {
    return n > 0 ? 1 : (n < 0 ? -1 : 0);
}

int32_t txMod(int32_t a, int32_t b) {
    // The cases where a hardware division faults; on the host they would trap too.
    if (b == 0) runtimeError("Integer divide by zero");
    if (b == -1) {
        if (a == INT32_MIN) runtimeError("Unknown runtime exception");
        return 0;
    }
    return a % b;
}

float txFAbs(float x) {
    return x >= 0.0f ? x : -x;
}

float txFSgn(float x) {
    if (x > 0.0f) return 1.0f;
    if (x == 0.0f) return 0.0f;
    return -1.0f;  // negative, and not-a-number
}

float txFMod(float a, float b) {
    return std::fmod(a, b);
}

float txFPow(float a, float b) {
    return static_cast<float>(std::pow(static_cast<double>(a), static_cast<double>(b)));
}

namespace {

constexpr CommandDef kRoutines[] = {
    command<txAbs>("_txAbs"),   command<txSgn>("_txSgn"),   command<txMod>("_txMod"),
    command<txFAbs>("_txFAbs"), command<txFSgn>("_txFSgn"), command<txFMod>("_txFMod"),
    command<txFPow>("_txFPow"),
};

}  // namespace

std::span<const CommandDef> arithmeticSupportRoutines() {
    return kRoutines;
}

}  // namespace tx
