/* The string commands from compiled code, nested as expressions nest them, and their argument
 * errors (the command line picks the case). Left, Right, Instr and Mid on their own are checked by
 * the compiler's conformance programs. */
#include "check.h"

static txstr name;

static void commands(void) {
    CHECK(same(String(S("ab"), 3), "ababab"));
    CHECK(same(String(S("ab"), -2), ""));
    CHECK(same(Replace(S("a-b-c"), S("-"), S(" and ")), "a and b and c"));
    txstr self = S("ab");
    CHECK(same(Replace(self, self, S("<ab>")), "<ab>"));
    self = S("ab");
    CHECK(same(Replace(self, S("b"), self), "aab"));
    CHECK(same(Trim(S("\t  a b \r\n")), "a b"));
    CHECK(same(LSet(S("abcdef"), 3), "abc") && same(RSet(S("abcdef"), 3), "def"));
    CHECK(same(Chr(321), "A"));
    CHECK(Asc(Chr(255)) == 255);
    CHECK(Len(CurrentDate()) == 11 && Len(CurrentTime()) == 8);
    /* Commands nest: each one works on the temporary the previous one returned. */
    CHECK(same(Upper(Trim(Replace(Mid(S("xx  game over  "), 3, -1), S("over"), S("on")))),
               "GAME ON"));
    /* Slicing a loaded copy leaves the variable's own string alone. */
    _txStrStore(&name, S("player"));
    CHECK(same(Left(_txStrLoad(&name), 3), "pla"));
    CHECK(same(_txStrLoad(&name), "player"));
    RuntimeStats(); /* every temporary given back: left are name and the caller's "hello" */
}

/* Doubles a one-byte string 28 times, to exactly 256 MiB (the cap), logging the count of each
 * doubling, then makes it one byte longer: by doubling it once more, or by appending. */
static void cap(int append) {
    txstr text = S("x");
    for (int i = 1; i <= 28; ++i) {
        text = _txStrConcat(text, text);
        DebugLog(_txStrFromInt(i));
    }
    text = _txStrConcat(text, append ? S("x") : text);
}

TX_MAIN {
    txstr s = S("hello");
    if (argumentIs("commands")) {
        commands();
        return;
    }
    if (argumentIs("cap") || argumentIs("cap-append")) cap(argumentIs("cap-append"));
    if (argumentIs("left")) s = Left(s, -1);
    if (argumentIs("right")) s = Right(s, -1);
    if (argumentIs("lset")) s = LSet(s, -1);
    if (argumentIs("rset")) s = RSet(s, -1);
    if (argumentIs("instr")) Instr(s, S("l"), 0);
    if (argumentIs("mid")) s = Mid(s, 0, -1);
    RuntimeError(_txStrConcat(S("survived "), CommandLine()));
}
