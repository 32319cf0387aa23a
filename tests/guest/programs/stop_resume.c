/* Suspends itself with Stop, then records that it was resumed. */
#include "tervex.h"

TX_MAIN {
    Stop();
    SetEnv(_txStrConst("TX_RESUMED"), _txStrConst("yes"));
}
