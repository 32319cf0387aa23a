/* Alternates DebugLog lines with lines written through the file commands to /dev/stderr and
 * /dev/stdout, a second handle on /dev/stderr included, and ends with both streams open. */
#include "tervex.h"

static txstr numbered(const char* text, int i) {
    return _txStrConcat(_txStrConst(text), _txStrFromInt(i));
}

TX_MAIN {
    int err = WriteFile(_txStrConst("/dev/stderr"));
    int out = WriteFile(_txStrConst("/dev/stdout"));
    for (int i = 0; i < 3; ++i) {
        DebugLog(numbered("log ", i));
        WriteLine(err, numbered("stderr ", i));
        WriteLine(out, numbered("stdout ", i));
    }
    int again = WriteFile(_txStrConst("/dev/stderr"));
    WriteLine(again, _txStrConst("second handle"));
    CloseFile(again);
    WriteLine(err, _txStrConst("last"));
    DebugLog(_txStrConst("end"));
}
