/* A processor fault raised by real compiled code ends the run as a runtime error; each fault's
 * message is checked with hand-assembled code on the guest machine itself. */
#include "check.h"

static volatile int zero = 0;
static volatile int smallest = -2147483647 - 1;

TX_MAIN {
    zero = smallest / zero; /* not 1 / x: compilers turn that into a comparison */
    RuntimeError(_txStrConcat(_txStrConst("survived "), CommandLine()));
}
