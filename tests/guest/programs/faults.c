/* Raises the fault its command line names, with real instructions. */
#include "check.h"

static volatile int zero = 0;
static volatile int minusOne = -1;
static volatile int smallest = -2147483647 - 1;

/* Recurses until the stack runs out. */
#pragma GCC diagnostic ignored "-Winfinite-recursion"
static int recurse(int depth) {
    volatile int frame[16];
    frame[depth & 15] = depth;
    return recurse(depth + 1) + frame[0];
}

TX_MAIN {
    if (argumentIs("null")) {
        volatile int* nowhere = 0;
        zero = *nowhere;
    } else if (argumentIs("wild-jump")) {
        void (*wild)(void) = (void (*)(void))0x7fff0000u;
        wild();
    } else if (argumentIs("write-thunk")) {
        *(volatile int*)0x10010 = 1;
    } else if (argumentIs("store-thunk")) {
        _txStrStore((const void*)0x10010, _txStrConst("host write")); /* the host stores there */
    } else if (argumentIs("illegal")) {
        __asm__ volatile("ud2");
    } else if (argumentIs("divide")) {
        zero = smallest / zero; /* not 1 / x: compilers turn that into a comparison */
    } else if (argumentIs("overflow")) {
        zero = smallest / minusOne;
    } else if (argumentIs("stack")) {
        zero = recurse(0);
    } else if (argumentIs("breakpoint")) {
        __asm__ volatile("int3");
    } else if (argumentIs("none")) {
        return;
    }
    RuntimeError(_txStrConcat(_txStrConst("survived "), CommandLine()));
}
