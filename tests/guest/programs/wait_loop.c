/* Waits on a 100 Hz timer forever; only an end request from outside stops it. */
#include "tervex.h"

TX_MAIN {
    int timer = CreateTimer(100);
    for (;;) WaitTimer(timer);
}
