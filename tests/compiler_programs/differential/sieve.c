/* The sieve of Eratosthenes up to 2000, as sieve.tx does it. */
#include "tervex.h"

#define LIMIT 2000

static int composite[LIMIT + 1];

static void logInt(const char* text, int value) {
    DebugLog(_txStrConcat(_txStrConst(text), _txStrFromInt(value)));
}

TX_MAIN {
    int count = 0, sum = 0, last = 0;
    for (int i = 2; i <= LIMIT; ++i) {
        if (composite[i]) continue;
        ++count;
        sum += i;
        last = i;
        for (int j = i * i; j <= LIMIT; j += i) composite[j] = 1;
    }
    logInt("primes ", count);
    logInt("sum ", sum);
    logInt("largest ", last);
    int twins = 0;
    for (int i = 3; i <= LIMIT - 2; i += 2)
        if (!composite[i] && !composite[i + 2]) ++twins;
    logInt("twin pairs ", twins);
}
