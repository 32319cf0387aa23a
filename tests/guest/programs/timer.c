/* A 100 Hz timer: periods counted across a delay, then single waits; MilliSecs across a delay.
   With "many": 3,000 timers at once, half of them freed, the rest left for the end to free. */
#include "guest_report.h"

enum { kMany = 3000 };

static void manyTimers(void) {
    static int timers[kMany];
    int distinct = 1;
    for (int i = 0; i < kMany; ++i) {
        timers[i] = CreateTimer(60 + i % 941);
        if (timers[i] == 0 || (i > 0 && timers[i] == timers[i - 1])) distinct = 0;
    }
    putInt("TX_MANY_CREATED", distinct ? kMany : 0);
    putInt("TX_MANY_FIRST_WAIT", WaitTimer(timers[kMany - 1]) >= 1);
    for (int i = 0; i < kMany; i += 2) FreeTimer(timers[i]);
    putInt("TX_MANY_FREED_WAIT", WaitTimer(timers[0])); /* a freed timer waits for nothing */
    putInt("TX_MANY_KEPT_WAIT", WaitTimer(timers[1]) >= 1);
}

TX_MAIN {
    if (argumentIs("many")) {
        manyTimers();
        return;
    }
    int timer = CreateTimer(100);
    int start = MilliSecs();
    Delay(55);
    putInt("TX_ELAPSED", MilliSecs() - start);
    putInt("TX_PERIODS_AFTER_DELAY", WaitTimer(timer));
    putInt("TX_PERIODS_NEXT", WaitTimer(timer));
    FreeTimer(timer);
    putInt("TX_TIMER_HANDLE", timer);
}
