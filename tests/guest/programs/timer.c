/* A 100 Hz timer: periods counted across a delay, then single waits; MilliSecs across a delay. */
#include "guest_report.h"

TX_MAIN {
    int timer = CreateTimer(100);
    int start = MilliSecs();
    Delay(55);
    putInt("TX_ELAPSED", MilliSecs() - start);
    putInt("TX_PERIODS_AFTER_DELAY", WaitTimer(timer));
    putInt("TX_PERIODS_NEXT", WaitTimer(timer));
    FreeTimer(timer);
    putInt("TX_TIMER_HANDLE", timer);
}
