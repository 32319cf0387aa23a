/* Hands its command line back through the environment, in brackets. */
#include "tervex.h"

TX_MAIN {
    txstr text = _txStrConcat(_txStrConst("["), CommandLine());
    SetEnv(_txStrConst("TX_ARGS"), _txStrConcat(text, _txStrConst("]")));
}
