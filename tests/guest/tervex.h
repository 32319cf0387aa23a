/* Declarations for guest test programs: the runtime's commands and support routines under the
 * names the linker knows them by. Compile with gcc -m32 -ffreestanding -fno-pic; turn the
 * object into a module image with tximage.
 *
 * Calling contract: cdecl, every argument 4 bytes; ints and handles as int, floats as float,
 * strings as txstr. Float results come back in ST(0), which is where gcc -m32 expects them.
 * A string passed to a routine belongs to the routine; a string returned belongs to the caller.
 *
 * Nothing here is marked noreturn, even End: tests check that nothing after it runs, and the
 * compiler must not drop that code. */
#ifndef TERVEX_H
#define TERVEX_H

/* A string: an opaque 32-bit handle. A string variable is a txstr cell; 0 reads as "". */
typedef unsigned int txstr;

/* The program's entry point, placed at offset 0 of the image:  TX_MAIN { ... } */
#define TX_MAIN                           \
    void tx_main(void) __asm__("__MAIN"); \
    void tx_main(void)

/* ---- basic: lifecycle, errors and system commands ---- */

void End(void) __asm__("_fend");
void Stop(void) __asm__("_fstop");
void AppTitle(txstr title, txstr close_prompt) __asm__("_fapptitle");
void RuntimeError(txstr message) __asm__("_fruntimeerror");
void ExecFile(txstr command) __asm__("_fexecfile");
void Delay(int millisecs) __asm__("_fdelay");
int MilliSecs(void) __asm__("_fmillisecs");
txstr CommandLine(void) __asm__("_fcommandline");
txstr SystemProperty(txstr property) __asm__("_fsystemproperty");
txstr GetEnv(txstr env_var) __asm__("_fgetenv");
void SetEnv(txstr env_var, txstr value) __asm__("_fsetenv");
int CreateTimer(int hertz) __asm__("_fcreatetimer");
int WaitTimer(int timer) __asm__("_fwaittimer");
void FreeTimer(int timer) __asm__("_ffreetimer");
void DebugLog(txstr text) __asm__("_fdebuglog");

/* ---- basic: debugger hooks ---- */

void _txDebugStmt(int position, const char* file) __asm__("__txDebugStmt");
void _txDebugEnter(void* frame, void* env, void* function) __asm__("__txDebugEnter");
void _txDebugLeave(void) __asm__("__txDebugLeave");

/* ---- basic: strings ---- */

txstr _txStrConst(const char* text) __asm__("__txStrConst");
txstr _txStrLoad(txstr* var) __asm__("__txStrLoad");
txstr _txStrStore(txstr* var, txstr tmp) __asm__("__txStrStore");
void _txStrRelease(txstr s) __asm__("__txStrRelease");
txstr _txStrConcat(txstr a, txstr b) __asm__("__txStrConcat");
int _txStrCompare(txstr a, txstr b) __asm__("__txStrCompare");
int _txStrToInt(txstr s) __asm__("__txStrToInt");
txstr _txStrFromInt(int value) __asm__("__txStrFromInt");
float _txStrToFloat(txstr s) __asm__("__txStrToFloat");
txstr _txStrFromFloat(float value) __asm__("__txStrFromFloat");

/* ---- the other modules, one header each ---- */

#include "tervex_bank.h"
#include "tervex_filesystem.h"
#include "tervex_graphics.h"
#include "tervex_language.h"
#include "tervex_math.h"
#include "tervex_sockets.h"
#include "tervex_stream.h"
#include "tervex_string.h"

#endif /* TERVEX_H */
