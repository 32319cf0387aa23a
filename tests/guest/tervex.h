/* Declarations for guest test programs: the runtime's commands and support routines under the
 * names the linker knows them by. Compile with gcc -m32 -ffreestanding -fno-pic, with this
 * directory and the build's guest_include directory on the include path; turn the object into
 * a module image with tximage.
 *
 * The declarations themselves are generated from the command registry (`txrun --c-header`
 * writes tervex_commands.h during the build): one per command, support routine and data
 * symbol, named as in its signature. This header adds what the registry does not describe:
 * the string type, the entry point and the layouts of tervex_layout.h.
 *
 * Calling contract: cdecl, every argument 4 bytes; ints and handles as int, floats as float,
 * strings as txstr, guest addresses as const void* (results void*). Float results come back in
 * ST(0), which is where gcc -m32 expects them. A string passed to a routine belongs to the routine;
 * a string returned belongs to the caller. Parameters the program may leave out in Tervex Basic
 * carry their default in a comment; C passes every one.
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

#include "tervex_layout.h"

#include "tervex_commands.h"

#endif /* TERVEX_H */
