/* Sets a variable and returns from the entry point. */
#include "tervex.h"

TX_MAIN {
    SetEnv(_txStrConst("TX_RETURNS"), _txStrConst("yes"));
}
