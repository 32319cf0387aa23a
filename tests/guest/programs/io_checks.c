/* One bad or borderline call, chosen by the command line, then TX_IO_REACHED. With the debug flag
 * set the bad ones end the program with their runtime error; with it clear they do nothing. */
#include "tervex.h"

static txstr path(const char* name) {
    return _txStrConcat(GetEnv(_txStrConst("TX_IO_DIR")), _txStrConst(name));
}
static int is(const char* name) {
    return _txStrCompare(CommandLine(), _txStrConst(name)) == 0;
}

TX_MAIN {
    int result = 0;
    int bank = CreateBank(10);
    int a = WriteFile(path("/a.bin"));
    int b = WriteFile(path("/b.bin"));
    if (is("stream")) result = ReadByte(12345);
    if (is("closed")) {
        CloseFile(a);
        WriteByte(a, 1);
        result = Eof(a);
    }
    if (is("buffer0")) CopyStream(a, b, 0);
    if (is("buffermax")) CopyStream(a, b, 1048576);
    if (is("buffertoobig")) CopyStream(a, b, 1048577);
    if (is("copydead")) CopyStream(a, 999, 16);
    if (is("file")) CloseFile(999);
    if (is("filepos")) result = FilePos(999);
    if (is("seekfile")) result = SeekFile(999, 0);
    if (is("dir")) result = _txStrToInt(NextFile(999));
    if (is("closedir")) CloseDir(999);
    if (is("bank")) result = BankSize(999);
    if (is("resize")) ResizeBank(999, 4);
    if (is("freebank")) FreeBank(999);
    if (is("emptybank")) result = PeekByte(CreateBank(0), 0);
    if (is("int6")) result = PeekInt(bank, 6) + 1000;
    if (is("int7")) result = PeekInt(bank, 7);
    if (is("short8")) PokeShort(bank, 8, 1);
    if (is("short9")) PokeShort(bank, 9, 1);
    if (is("negative")) PokeInt(bank, -2, -1);
    if (is("float7")) PokeFloat(bank, 7, 1.0f);
    if (is("copysrc")) CopyBank(bank, 5, bank, 0, 6);
    if (is("copydest")) CopyBank(bank, 0, 999, 0, 1);
    if (is("readbytes")) result = ReadBytes(bank, 999, 0, 4);
    if (is("readbytesoffset")) result = ReadBytes(bank, 999, 8, 4);
    if (is("writebytes")) result = WriteBytes(bank, a, 0, 11);
    SetEnv(_txStrConst("TX_IO_REACHED"), _txStrFromInt(result + 1000));
}
