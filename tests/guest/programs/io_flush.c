/* Writes two files and ends with a runtime error ("error") or End, leaving them open. */
#include "guest_report.h"

TX_MAIN {
    int out = WriteFile(ioPath("/flushed.bin"));
    for (int i = 0; i < 5000; ++i) WriteByte(out, i);
    WriteLine(out, _txStrConst("tail"));
    int other = OpenFile(ioPath("/second.bin"));
    WriteString(other, _txStrConst("x"));
    if (_txStrCompare(CommandLine(), _txStrConst("error")) == 0)
        RuntimeError(_txStrConst("stopped on purpose"));
    End();
}
