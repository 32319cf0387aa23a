/* One bad or borderline call, chosen by the command line, then TX_IO_REACHED. With the debug flag
 * set the bad ones end the program with their runtime error; with it clear they do nothing. */
#include "guest_report.h"

TX_MAIN {
    int result = 0;
    int bank = CreateBank(10);
    int a = WriteFile(ioPath("/a.bin"));
    int b = WriteFile(ioPath("/b.bin"));
    if (argumentIs("stream")) result = ReadByte(12345);
    if (argumentIs("closed")) {
        CloseFile(a);
        WriteByte(a, 1);
        result = Eof(a);
    }
    if (argumentIs("buffer0")) CopyStream(a, b, 0);
    if (argumentIs("buffermax")) CopyStream(a, b, 1048576);
    if (argumentIs("buffertoobig")) CopyStream(a, b, 1048577);
    if (argumentIs("copydead")) CopyStream(a, 999, 16);
    if (argumentIs("file")) CloseFile(999);
    if (argumentIs("filepos")) result = FilePos(999);
    if (argumentIs("seekfile")) result = SeekFile(999, 0);
    if (argumentIs("dir")) result = _txStrToInt(NextFile(999));
    if (argumentIs("closedir")) CloseDir(999);
    if (argumentIs("bank")) result = BankSize(999);
    if (argumentIs("resize")) ResizeBank(999, 4);
    if (argumentIs("freebank")) FreeBank(999);
    if (argumentIs("emptybank")) result = PeekByte(CreateBank(0), 0);
    if (argumentIs("int6")) result = PeekInt(bank, 6) + 1000;
    if (argumentIs("int7")) result = PeekInt(bank, 7);
    if (argumentIs("short8")) PokeShort(bank, 8, 1);
    if (argumentIs("short9")) PokeShort(bank, 9, 1);
    if (argumentIs("negative")) PokeInt(bank, -2, -1);
    if (argumentIs("float7")) PokeFloat(bank, 7, 1.0f);
    if (argumentIs("copysrc")) CopyBank(bank, 5, bank, 0, 6);
    if (argumentIs("copydest")) CopyBank(bank, 0, 999, 0, 1);
    if (argumentIs("readbytes")) result = ReadBytes(bank, 999, 0, 4);
    if (argumentIs("readbytesoffset")) result = ReadBytes(bank, 999, 8, 4);
    if (argumentIs("writebytes")) result = WriteBytes(bank, a, 0, 11);
    SetEnv(_txStrConst("TX_IO_REACHED"), _txStrFromInt(result + 1000));
}
