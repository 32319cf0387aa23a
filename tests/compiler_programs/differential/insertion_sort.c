/* Insertion sort of pseudo-random numbers, as insertion_sort.tx does it: in a Dim array, whose
 * elements are reached through its descriptor at every use as in Basic (what gcc keeps in
 * registers is its own optimisation), and a string variable for the lines. */
#include "tervex.h"

static TX_ARRAY(values, TX_KIND_INT, 1);
#define VALUES(i) TX_CELLS(values, int)[i]

static txstr withInt(const char* text, int value) {
    return _txStrConcat(_txStrConst(text), _txStrFromInt(value));
}

TX_MAIN {
    int count = _txStrToInt(CommandLine());
    if (count < 1) count = 60;
    _txUndimArray(&values);
    values.scales[0] = count - 1;
    _txDimArray(&values);
    unsigned seed = 12345;
    for (int i = 0; i <= count - 1; ++i) {
        seed = seed * 1103515245u + 12345u;
        VALUES(i) = (int)((seed >> 16) & 32767);
    }
    DebugLog(_txStrConcat(withInt("first ", VALUES(0)), withInt(" last ", VALUES(count - 1))));
    for (int i = 1; i <= count - 1; ++i) {
        const int key = VALUES(i);
        int j = i - 1;
        while (j >= 0) {
            if (VALUES(j) <= key) break;
            VALUES(j + 1) = VALUES(j);
            j = j - 1;
        }
        VALUES(j + 1) = key;
    }
    txstr line = 0;
    _txStrStore(&line, _txStrConst(""));
    for (int i = 0; i <= count - 1; ++i) {
        _txStrStore(&line, _txStrConcat(_txStrLoad(&line), _txStrFromInt(VALUES(i))));
        if (i % 10 == 9) {
            DebugLog(_txStrLoad(&line));
            _txStrStore(&line, _txStrConst(""));
        } else {
            _txStrStore(&line, _txStrConcat(_txStrLoad(&line), _txStrConst(",")));
        }
    }
    _txStrRelease(line);
    unsigned sum = 0;
    for (int i = 0; i <= count - 1; ++i) sum ^= (unsigned)VALUES(i) << (i & 15);
    DebugLog(withInt("checksum ", (int)sum));
}
