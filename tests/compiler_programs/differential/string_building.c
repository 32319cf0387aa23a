/* Building, cutting and searching strings, as string_building.tx does it: string variables
 * stored and loaded through the runtime's routines. */
#include "tervex.h"

static txstr load(txstr* variable) {
    return _txStrLoad(variable);
}

TX_MAIN {
    int count = _txStrToInt(CommandLine());
    if (count < 1) count = 120;
    txstr s = 0;
    _txStrStore(&s, _txStrConst(""));
    int lines = 0;
    for (int i = 1; i <= count; ++i) {
        txstr piece = _txStrConcat(Chr(65 + i % 26), _txStrFromInt(i * 7 % 100));
        _txStrStore(&s, _txStrConcat(load(&s), piece));
        if (Len(load(&s)) > 40) {
            DebugLog(load(&s));
            lines = lines + 1;
            _txStrStore(&s, Mid(load(&s), 30, -1));
        }
    }
    txstr rest = _txStrConcat(_txStrConst("rest "), load(&s));
    rest = _txStrConcat(rest, _txStrConst(" lines "));
    DebugLog(_txStrConcat(rest, _txStrFromInt(lines)));

    txstr word = 0, mirror = 0;
    _txStrStore(&word, _txStrConst("tervex"));
    _txStrStore(&mirror, _txStrConst(""));
    for (int i = Len(load(&word)); i >= 1; --i)
        _txStrStore(&mirror, _txStrConcat(load(&mirror), Mid(load(&word), i, 1)));
    txstr line = _txStrConcat(Upper(load(&mirror)), _txStrConst(" "));
    line = _txStrConcat(
        line, _txStrFromInt(Instr(_txStrConcat(load(&mirror), load(&word)), _txStrConst("xe"), 1)));
    line = _txStrConcat(line, _txStrConst(" "));
    line = _txStrConcat(line, Replace(load(&mirror), _txStrConst("e"), _txStrConst("[e]")));
    DebugLog(line);
    _txStrRelease(s);
    _txStrRelease(mirror);
    _txStrRelease(word);
}
