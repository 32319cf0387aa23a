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

/* The bit pattern of a float, so that tests compare results exactly. */
static inline int floatBits(float value) {
    union {
        float f;
        int i;
    } u;
    u.f = value;
    return u.i;
}
