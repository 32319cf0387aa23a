/* The string commands' argument errors: the command line picks the failing call. Nothing after
 * it may run. */
#include "tervex.h"

TX_MAIN {
    int which = _txStrToInt(CommandLine());
    txstr s = _txStrConst("hello");
    switch (which) {
        case 1:
            s = Left(s, -1);
            break;
        case 2:
            s = Right(s, -1);
            break;
        case 3:
            s = LSet(s, -1);
            break;
        case 4:
            s = RSet(s, -1);
            break;
        case 5:
            s = _txStrFromInt(Instr(s, _txStrConst("l"), 0));
            break;
        case 6:
            s = Mid(s, 0, -1);
            break;
        default:
            s = Left(s, 0);
            break;
    }
    SetEnv(_txStrConst("TX_S_ERROR_AFTER"), _txStrConcat(_txStrConst("reached:"), s));
}
