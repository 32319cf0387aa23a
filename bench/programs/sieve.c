/* The sieve of Eratosthenes up to 100,000 in a Dim array; there are 9,592 primes. */
#include "bench_guest.h"

#define LIMIT 100000

static TX_ARRAY(composite, TX_KIND_INT, 1);
/* An element, reached through the descriptor at every use as in Basic (what gcc keeps in
 * registers is its own optimisation). */
#define COMPOSITE(i) TX_CELLS(composite, int)[i]

TX_MAIN {
    _txUndimArray(&composite);
    composite.scales[0] = LIMIT;
    _txDimArray(&composite);

    BenchMark();
    int primes = 0;
    for (int i = 2; i <= LIMIT; ++i) {
        if (COMPOSITE(i) == 0) {
            primes = primes + 1;
            if (i <= LIMIT / i) {
                int j = i * i;
                while (j <= LIMIT) {
                    COMPOSITE(j) = 1;
                    j = j + i;
                }
            }
        }
    }
    BenchMark();

    if (primes != 9592)
        RuntimeError(_txStrConcat(_txStrConcat(_txStrConst("counted "), _txStrFromInt(primes)),
                                  _txStrConst(" primes")));
}
