/* Recursive quicksort of 300 numbers, as quicksort.tx does it. */
#include "tervex.h"

#define COUNT 300

static int v[COUNT];
static int calls;

static void logText(txstr text) {
    DebugLog(text);
}

static txstr withInt(txstr text, const char* label, int value) {
    return _txStrConcat(_txStrConcat(text, _txStrConst(label)), _txStrFromInt(value));
}

static int quicksort(int lo, int hi) {
    ++calls;
    if (lo >= hi) return 0;
    const int pivot = v[(lo + hi) / 2];
    int i = lo, j = hi;
    while (i <= j) {
        while (v[i] < pivot) ++i;
        while (v[j] > pivot) --j;
        if (i <= j) {
            const int t = v[i];
            v[i] = v[j];
            v[j] = t;
            ++i;
            --j;
        }
    }
    const int left = quicksort(lo, j);
    const int right = quicksort(i, hi);
    return (left > right ? left : right) + 1;
}

static int spread(int a, int b, int c) {
    const int d = a + b, e = b + c, f = c + a;
    const int g = quicksort(0, 0) + d;
    const int h = quicksort(0, 0) + e;
    const int k = quicksort(0, 0) + f;
    return a + b * 10 + c * 100 + d * 1000 + e * 10000 + f * 100000 + g + h + k;
}

TX_MAIN {
    int seed = 2024;
    for (int n = 0; n < COUNT; ++n) {
        seed = (seed * 75 + 74) % 65537;
        v[n] = seed % 1000 - 500;
    }
    const int depth = quicksort(0, COUNT - 1);
    logText(withInt(withInt(_txStrConst(""), "depth ", depth), " calls ", calls));
    txstr line = _txStrConst("");
    for (int n = 0; n < COUNT; n += 23)
        line = _txStrConcat(_txStrConcat(line, _txStrFromInt(v[n])), _txStrConst(" "));
    logText(line);
    int ordered = 1;
    for (int n = 1; n < COUNT; ++n)
        if (v[n - 1] > v[n]) ordered = 0;
    logText(withInt(_txStrConst(""), "ordered ", ordered));
    logText(withInt(_txStrConst(""), "spread ", spread(1, 2, 3)));
}
