/* Guest-side helpers of the test programs: results go to the environment, where the test that
 * ran the program reads them. */
#pragma once

#include "tervex.h"

static inline void putText(const char* name, txstr value) {
    SetEnv(_txStrConst(name), value);
}

static inline void putInt(const char* name, int value) {
    SetEnv(_txStrConst(name), _txStrFromInt(value));
}

/* True when the program's command line is exactly `text`: one case of a program that runs
 * one case per run. */
static inline int argumentIs(const char* text) {
    return _txStrCompare(CommandLine(), _txStrConst(text)) == 0;
}

/* A file in the directory the I/O tests give their programs in TX_IO_DIR. */
static inline txstr ioPath(const char* name) {
    return _txStrConcat(GetEnv(_txStrConst("TX_IO_DIR")), _txStrConst(name));
}

/* The bit pattern of a float, so that tests compare results exactly. */
static inline int floatBits(float value) {
    union {
        float f;
        int i;
    } u;
    u.f = value;
    return u.i;
}
