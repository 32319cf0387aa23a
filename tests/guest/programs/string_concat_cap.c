/* Doubles a string until concatenation refuses: the last length reached goes to TX_CAP_LENGTH;
 * TX_CAP_SURVIVED is set only if the doubling never stops. By default the string is appended to
 * itself (one handle on both sides); argument "copy" appends a separate copy of it. */
#include "guest_report.h"

static txstr text;

TX_MAIN {
    const int copy = argumentIs("copy");
    _txStrStore(&text, _txStrConst("x"));
    for (int i = 0; i < 40; ++i) {
        txstr left = _txStrLoad(&text);
        txstr doubled = _txStrConcat(left, copy ? _txStrLoad(&text) : left);
        _txStrStore(&text, doubled);
        putInt("TX_CAP_LENGTH", Len(_txStrLoad(&text)));
    }
    putInt("TX_CAP_SURVIVED", 1);
}
