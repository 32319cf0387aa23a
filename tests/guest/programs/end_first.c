/* End as the first statement: nothing after it runs. */
#include "tervex.h"

TX_MAIN {
    End();
    SetEnv(_txStrConst("TX_AFTER_END"), _txStrConst("ran"));
}
