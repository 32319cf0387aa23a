/* Insertion sort of 2,000 integers in a Dim array, then a check that they are in order. */
#include "bench_guest.h"

#define N 2000

static TX_ARRAY(numbers, TX_KIND_INT, 1);
/* An element, reached through the descriptor at every use as in Basic (what gcc keeps in
 * registers is its own optimisation). */
#define NUMBERS(i) TX_CELLS(numbers, int)[i]

TX_MAIN {
    _txUndimArray(&numbers);
    numbers.scales[0] = N - 1;
    _txDimArray(&numbers);
    unsigned seed = 12345;
    for (int i = 0; i <= N - 1; ++i) NUMBERS(i) = nextRandom(&seed);

    BenchMark();
    for (int i = 1; i <= N - 1; ++i) {
        const int v = NUMBERS(i);
        int j = i - 1;
        while (j >= 0) {
            if (NUMBERS(j) <= v) break;
            NUMBERS(j + 1) = NUMBERS(j);
            j = j - 1;
        }
        NUMBERS(j + 1) = v;
    }
    BenchMark();

    for (int i = 1; i <= N - 1; ++i) {
        if (NUMBERS(i - 1) > NUMBERS(i))
            RuntimeError(_txStrConcat(_txStrConst("not in order at "), _txStrFromInt(i)));
    }
}
