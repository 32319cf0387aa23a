/* String routines as compiled code uses them, float results through ST(0), and 513 live strings. */
#include "guest_report.h"

static txstr keep[513];
static txstr variable;

TX_MAIN {
    float f = _txStrToFloat(_txStrConst("  2.5xyz"));
    putText("TX_FLOAT", _txStrFromFloat(f * 2.0f));
    putText("TX_THIRD", _txStrFromFloat(1.0f / 3.0f));
    putText("TX_NEGATIVE", _txStrFromFloat(-1.5f));
    putText("TX_INT", _txStrFromInt(_txStrToInt(_txStrConst(" -42abc")) * 2));
    putText("TX_COMPARE",
            _txStrFromInt(_txStrCompare(_txStrConst("abc"), _txStrConst("abd")) * 100 +
                          _txStrCompare(_txStrConst("b"), _txStrConst("abc")) * 10 +
                          _txStrCompare(_txStrConst("x"), _txStrConst("x"))));
    _txStrStore(&variable, _txStrConst("kept"));
    putText("TX_LOADED", _txStrConcat(_txStrLoad(&variable), _txStrLoad(&variable)));
    for (int i = 0; i < 513; ++i) _txStrStore(&keep[i], _txStrFromInt(i));
    putText("TX_LAST_KEPT", _txStrLoad(&keep[512]));
}
