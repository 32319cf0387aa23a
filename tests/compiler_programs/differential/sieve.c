/* The sieve of Eratosthenes, as sieve.tx does it: in a Dim array, whose elements are reached
 * through its descriptor at every use as in Basic. */
#include "tervex.h"

static TX_ARRAY(composite, TX_KIND_INT, 1);
#define COMPOSITE(i) TX_CELLS(composite, int)[i]

static void logInt(const char* text, int value) {
    DebugLog(_txStrConcat(_txStrConst(text), _txStrFromInt(value)));
}

TX_MAIN {
    int limit = _txStrToInt(CommandLine());
    if (limit < 2) limit = 2000;
    _txUndimArray(&composite);
    composite.scales[0] = limit;
    _txDimArray(&composite);
    int count = 0, sum = 0, largest = 0;
    for (int i = 2; i <= limit; ++i) {
        if (COMPOSITE(i)) continue;
        count = count + 1;
        sum = sum + i;
        largest = i;
        if (i <= limit / i) {
            int j = i * i;
            while (j <= limit) {
                COMPOSITE(j) = 1;
                j = j + i;
            }
        }
    }
    logInt("primes ", count);
    logInt("sum ", sum);
    logInt("largest ", largest);
    int twins = 0;
    for (int i = 3; i <= limit - 2; i += 2)
        if (COMPOSITE(i) == 0 && COMPOSITE(i + 2) == 0) twins = twins + 1;
    logInt("twin pairs ", twins);
}
