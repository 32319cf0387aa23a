/* Doubles a one-byte string 28 times, to 256 MiB, counting the doublings in TX_CAP_DOUBLINGS,
 * then makes it one step longer: by doubling it once more, or with argument "append" by
 * appending one byte of another string. TX_CAP_SURVIVED is set only if that step succeeds. */
#include "check.h"

static void putInt(const char* name, int value) {
    SetEnv(_txStrConst(name), _txStrFromInt(value));
}

TX_MAIN {
    txstr text = _txStrConst("x");
    for (int i = 1; i <= 28; ++i) {
        text = _txStrConcat(text, text);
        putInt("TX_CAP_DOUBLINGS", i);
    }
    text = _txStrConcat(text, argumentIs("append") ? _txStrConst("x") : text);
    putInt("TX_CAP_SURVIVED", 1);
}
