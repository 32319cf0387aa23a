/* RuntimeError with a 300-character message: "0123456789" thirty times. */
#include "tervex.h"

TX_MAIN {
    txstr message = _txStrConst("");
    for (int i = 0; i < 30; ++i) message = _txStrConcat(message, _txStrConst("0123456789"));
    RuntimeError(message);
    SetEnv(_txStrConst("TX_AFTER_ERROR"), _txStrConst("ran"));
}
