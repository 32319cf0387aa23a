/* Insertion sort of 60 pseudo-random numbers, as insertion_sort.tx does it. */
#include "tervex.h"

#define COUNT 60

static int values[COUNT];

static txstr withInt(const char* text, int value) {
    return _txStrConcat(_txStrConst(text), _txStrFromInt(value));
}

TX_MAIN {
    unsigned seed = 12345;
    for (int i = 0; i < COUNT; ++i) {
        seed = seed * 1103515245u + 12345u;
        values[i] = (int)((seed >> 16) & 32767);
    }
    DebugLog(_txStrConcat(withInt("first ", values[0]), withInt(" last ", values[COUNT - 1])));
    for (int i = 1; i < COUNT; ++i) {
        const int key = values[i];
        int j = i - 1;
        while (j >= 0 && values[j] > key) {
            values[j + 1] = values[j];
            --j;
        }
        values[j + 1] = key;
    }
    txstr line = _txStrConst("");
    for (int i = 0; i < COUNT; ++i) {
        line = _txStrConcat(line, _txStrFromInt(values[i]));
        if (i % 10 == 9) {
            DebugLog(line);
            line = _txStrConst("");
        } else {
            line = _txStrConcat(line, _txStrConst(","));
        }
    }
    _txStrRelease(line);
    unsigned sum = 0;
    for (int i = 0; i < COUNT; ++i) sum ^= (unsigned)values[i] << (i & 15);
    DebugLog(withInt("checksum ", (int)sum));
}
