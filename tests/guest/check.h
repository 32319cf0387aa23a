/* Self-checking guest programs: CHECK(cond) ends the program with the runtime error
 * "check failed at line N" when cond is false, so the test that runs a program only needs its
 * outcome and message. Small helpers the programs share come with it. */
#ifndef TERVEX_CHECK_H
#define TERVEX_CHECK_H

#include "tervex.h"

static inline void checkFailed(int line) {
    RuntimeError(_txStrConcat(_txStrConst("check failed at line "), _txStrFromInt(line)));
}

#define CHECK(cond)                         \
    do {                                    \
        if (!(cond)) checkFailed(__LINE__); \
    } while (0)

/* True when s holds exactly text. */
static inline int same(txstr s, const char* text) {
    return _txStrCompare(s, _txStrConst(text)) == 0;
}

/* True when the program's command line is exactly text: one case of a program that runs one
 * case per run. */
static inline int argumentIs(const char* text) {
    return same(CommandLine(), text);
}

/* A case a program runs when its command line names it. */
typedef struct {
    const char* name;
    void (*run)(void);
} txCase;

/* Runs the case the command line names; 0 when it names none of them. */
#define RUN_CASE(cases) runCase(cases, sizeof(cases) / sizeof(cases[0]))
static inline int runCase(const txCase* cases, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        if (argumentIs(cases[i].name)) {
            cases[i].run();
            return 1;
        }
    }
    return 0;
}

/* A string constant. */
static inline txstr S(const char* text) {
    return _txStrConst(text);
}

/* A file in the directory the test gives its programs in TX_DIR. */
static inline txstr dirPath(const char* name) {
    return _txStrConcat(GetEnv(_txStrConst("TX_DIR")), _txStrConst(name));
}

static inline int envInt(const char* name) {
    return _txStrToInt(GetEnv(_txStrConst(name)));
}

/* The bit pattern of a float, so that checks compare results exactly. */
static inline int floatBits(float value) {
    union {
        float f;
        int i;
    } u;
    u.f = value;
    return u.i;
}

/* A pixel of a buffer as 0xRRGGBB. */
static inline int rgb(int x, int y, int buffer) {
    return ReadPixel(x, y, buffer) & 0xFFFFFF;
}

/* How many pixels of the half-open rectangle of an image's first frame have the colour. */
static inline int countOf(int image, int x0, int y0, int x1, int y1, int colour) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += rgb(x, y, ImageBuffer(image, 0)) == colour;
    return n;
}

#endif /* TERVEX_CHECK_H */
