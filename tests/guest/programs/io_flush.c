/* Writes two files and ends with a runtime error ("error") or End, leaving them open. */
#include "tervex.h"

static txstr path(const char* name) {
    return _txStrConcat(GetEnv(_txStrConst("TX_IO_DIR")), _txStrConst(name));
}

TX_MAIN {
    int out = WriteFile(path("/flushed.bin"));
    for (int i = 0; i < 5000; ++i) WriteByte(out, i);
    WriteLine(out, _txStrConst("tail"));
    int other = OpenFile(path("/second.bin"));
    WriteString(other, _txStrConst("x"));
    if (_txStrCompare(CommandLine(), _txStrConst("error")) == 0)
        RuntimeError(_txStrConst("stopped on purpose"));
    End();
}
