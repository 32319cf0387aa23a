/* A 100 Hz timer: periods counted across a delay, then single waits; MilliSecs across a delay. */
#include "tervex.h"

static void put(const char* name, int value) { SetEnv(_txStrConst(name), _txStrFromInt(value)); }

TX_MAIN {
    int timer = CreateTimer(100);
    int start = MilliSecs();
    Delay(55);
    put("TX_ELAPSED", MilliSecs() - start);
    put("TX_PERIODS_AFTER_DELAY", WaitTimer(timer));
    put("TX_PERIODS_NEXT", WaitTimer(timer));
    FreeTimer(timer);
    put("TX_TIMER_HANDLE", timer);
}
