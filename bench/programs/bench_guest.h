/* What the C versions of the benchmark programs share with their Tervex Basic twins: the
 * benchmark's mark command and the random numbers both generate their data with. */
#ifndef BENCH_GUEST_H
#define BENCH_GUEST_H

#include "tervex.h"

/* Registered by the benchmark only: the time between its two calls is what it measures. */
void BenchMark(void) __asm__("_fbenchmark");

/* The generator of the Basic programs, whose integers wrap: seed * 1103515245 + 12345, and
 * bits 16 to 30 of the new seed. */
static inline int nextRandom(unsigned* seed) {
    *seed = *seed * 1103515245u + 12345u;
    return (int)((*seed >> 16) & 32767u);
}

#endif /* BENCH_GUEST_H */
