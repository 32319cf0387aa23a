/* GetEnv and SetEnv round trips. */
#include "tervex.h"

static txstr bracketed(txstr s) {
    return _txStrConcat(_txStrConcat(_txStrConst("["), s), _txStrConst("]"));
}

TX_MAIN {
    SetEnv(_txStrConst("TX_OUT"), _txStrConcat(GetEnv(_txStrConst("TX_IN")), _txStrConst("!")));
    SetEnv(_txStrConst("TX_EMPTY"), _txStrConst("set"));
    SetEnv(_txStrConst("TX_EMPTY"), _txStrConst(""));
    SetEnv(_txStrConst("TX_EMPTY_READ"), bracketed(GetEnv(_txStrConst("TX_EMPTY"))));
    SetEnv(_txStrConst("TX_UNSET_READ"), bracketed(GetEnv(_txStrConst("TX_NEVER_SET_ANYWHERE"))));
}
