/* A string built of 1,000 pieces, each a number and a comma, in a string variable. */
#include "bench_guest.h"

TX_MAIN {
    txstr s = 0;
    BenchMark();
    _txStrStore(&s, _txStrConst(""));
    for (int i = 1; i <= 1000; ++i)
        _txStrStore(&s, _txStrConcat(_txStrConcat(_txStrLoad(&s), _txStrFromInt(i)),
                                     _txStrConst(",")));
    BenchMark();

    /* 2,893 digits and 1,000 commas. */
    const int length = Len(_txStrLoad(&s));
    if (length != 3893)
        RuntimeError(_txStrConcat(_txStrConcat(_txStrConst("built "), _txStrFromInt(length)),
                                  _txStrConst(" characters")));
}
