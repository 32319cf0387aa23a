/* Recursive quicksort of pseudo-random numbers, as quicksort.tx does it: in a Dim array, whose
 * elements are reached through its descriptor at every use as in Basic. */
#include "tervex.h"

static TX_ARRAY(v, TX_KIND_INT, 1);
#define V(i) TX_CELLS(v, int)[i]
static int calls;

static txstr withInt(const char* label, int value) {
    return _txStrConcat(_txStrConst(label), _txStrFromInt(value));
}

static int quicksort(int lo, int hi) {
    calls = calls + 1;
    if (lo >= hi) return 0;
    const int pivot = V((lo + hi) / 2);
    int i = lo, j = hi;
    while (i <= j) {
        while (V(i) < pivot) i = i + 1;
        while (V(j) > pivot) j = j - 1;
        if (i <= j) {
            const int t = V(i);
            V(i) = V(j);
            V(j) = t;
            i = i + 1;
            j = j - 1;
        }
    }
    const int depthLeft = quicksort(lo, j);
    const int depthRight = quicksort(i, hi);
    if (depthLeft > depthRight) return depthLeft + 1;
    return depthRight + 1;
}

static int spread(int a, int b, int c) {
    const int d = a + b, e = b + c, f = c + a;
    const int g = quicksort(0, 0) + d;
    const int h = quicksort(0, 0) + e;
    const int k = quicksort(0, 0) + f;
    return a * 1 + b * 10 + c * 100 + d * 1000 + e * 10000 + f * 100000 + g + h + k;
}

TX_MAIN {
    int count = _txStrToInt(CommandLine());
    if (count < 1) count = 300;
    _txUndimArray(&v);
    v.scales[0] = count - 1;
    _txDimArray(&v);
    int seed = 2024;
    for (int n = 0; n <= count - 1; ++n) {
        seed = (seed * 75 + 74) % 65537;
        V(n) = seed % 1000 - 500;
    }
    const int depth = quicksort(0, count - 1);
    DebugLog(_txStrConcat(withInt("depth ", depth), withInt(" calls ", calls)));
    txstr line = 0;
    _txStrStore(&line, _txStrConst(""));
    for (int k = 0; k <= 12; ++k)
        _txStrStore(&line, _txStrConcat(_txStrConcat(_txStrLoad(&line),
                                                     _txStrFromInt(V(k * (count - 1) / 12))),
                                        _txStrConst(" ")));
    DebugLog(_txStrLoad(&line));
    _txStrRelease(line);
    int ordered = 1;
    for (int n = 1; n <= count - 1; ++n)
        if (V(n - 1) > V(n)) ordered = 0;
    DebugLog(withInt("ordered ", ordered));
    DebugLog(withInt("spread ", spread(1, 2, 3)));
}
