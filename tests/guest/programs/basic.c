/* The basic module from compiled code: the command line, timers, a string routine with its float
 * result in ST(0), and the ways a program ends. The command line picks the case. The number text
 * and string compare rules are checked on the runtime's routines, the environment by the
 * compiler's conformance programs. */
#include "check.h"

static txstr keep[513];

static void timer(void) {
    int t = CreateTimer(100);
    CHECK(t != 0);
    int start = MilliSecs();
    Delay(55);
    CHECK(MilliSecs() - start >= 55);
    CHECK(WaitTimer(t) >= 4); /* a wait after a pause reports every period, not 1 */
    CHECK(WaitTimer(t) >= 1);
    FreeTimer(t);
}

static void strings(void) {
    CHECK(same(_txStrFromFloat(_txStrToFloat(_txStrConst("  2.5xyz")) * 2.0f), "5.000000"));
    /* Strings left alive at the end are freed with the basic module. */
    for (int i = 0; i < 513; ++i) _txStrStore(&keep[i], _txStrFromInt(i));
    CHECK(same(_txStrLoad(&keep[512]), "512"));
}

TX_MAIN {
    if (argumentIs("main")) {
        timer();
        strings();
        DebugLog(_txStrConst("done"));
    } else if (argumentIs("cmdline")) {
        /* reached from "   cmdline  ": spaces around the text are trimmed */
    } else if (argumentIs("\tcmd line\t")) {
        /* only spaces are trimmed */
    } else if (argumentIs("end")) {
        End();
        RuntimeError(_txStrConst("ran past End"));
    } else if (argumentIs("error")) {
        txstr message = _txStrConst("");
        for (int i = 0; i < 30; ++i) message = _txStrConcat(message, _txStrConst("0123456789"));
        RuntimeError(message);
        RuntimeError(_txStrConst("ran past RuntimeError"));
    } else if (argumentIs("stop")) {
        Stop();
        DebugLog(_txStrConst("resumed"));
    } else if (argumentIs("wait")) {
        int t = CreateTimer(100);
        for (;;) WaitTimer(t);
    } else {
        RuntimeError(_txStrConcat(_txStrConst("unknown case "), CommandLine()));
    }
}
