/* Every string command from compiled code. Results are handed back in brackets, so that an
 * empty result is not an unset variable. */
#include "guest_report.h"

static txstr S(const char* text) {
    return _txStrConst(text);
}
static txstr I(int value) {
    return _txStrFromInt(value);
}

static void putBracketed(const char* name, txstr value) {
    SetEnv(S(name), _txStrConcat(_txStrConcat(S("["), value), S("]")));
}

static txstr name;

TX_MAIN {
    putBracketed("TX_S_STRING", String(S("ab"), 3));
    putBracketed("TX_S_STRING_NONE", String(S("ab"), -2));
    putBracketed("TX_S_LEFT", Left(S("hello"), 2));
    putBracketed("TX_S_RIGHT", Right(S("hello"), 3));
    putBracketed("TX_S_REPLACE", Replace(S("a-b-c"), S("-"), S(" and ")));
    putBracketed("TX_S_REPLACE_OVERLAP", Replace(S("aaa"), S("aa"), S("b")));
    putBracketed("TX_S_INSTR", I(Instr(S("hello"), S("l"), 1) * 10 + Instr(S("hello"), S("l"), 4)));
    putBracketed("TX_S_MID", Mid(S("hello"), 2, 3));
    putBracketed("TX_S_MID_DEFAULT", Mid(S("hello"), 2, -1));
    putBracketed("TX_S_UPPER", Upper(S("Hello, World 42")));
    putBracketed("TX_S_LOWER", Lower(S("Hello, World 42")));
    putBracketed("TX_S_TRIM", Trim(S("\t  a b \r\n")));
    putBracketed("TX_S_LSET", LSet(S("abc"), 5));
    putBracketed("TX_S_RSET", RSet(S("abc"), 5));
    putBracketed("TX_S_CHR", Chr(321));
    putBracketed("TX_S_CHR0_LEN", I(Len(Chr(0))));
    putBracketed("TX_S_ASC", I(Asc(Chr(255)) * 1000 + Asc(S(""))));
    putBracketed("TX_S_LEN", I(Len(String(S("xyz"), 4))));
    putBracketed("TX_S_HEX", _txStrConcat(Hex(255), Hex(-1)));
    putBracketed("TX_S_BIN", Bin(5));
    putBracketed("TX_S_DATE", CurrentDate());
    putBracketed("TX_S_TIME", CurrentTime());

    /* Commands nest: each one works on the temporary the previous one returned. */
    putBracketed("TX_S_CHAIN",
                 Upper(Trim(Replace(Mid(S("xx  game over  "), 3, -1), S("over"), S("on")))));
    /* Slicing a loaded copy leaves the variable's own string alone. */
    _txStrStore(&name, S("player"));
    putBracketed("TX_S_LOADED_LEFT", Left(_txStrLoad(&name), 3));
    putBracketed("TX_S_VARIABLE", _txStrLoad(&name));
}
