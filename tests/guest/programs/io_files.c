/* File streams: open modes, positions, read-ahead, odd path spellings and CopyStream. */
#include "tervex.h"

static txstr path(const char* name) {
    return _txStrConcat(GetEnv(_txStrConst("TX_IO_DIR")), _txStrConst(name));
}
static void put(const char* name, int value) {
    SetEnv(_txStrConst(name), _txStrFromInt(value));
}

TX_MAIN {
    put("TX_IO_READ_MISSING", ReadFile(path("/missing.bin")) + 1000);
    put("TX_IO_OPEN_MISSING", OpenFile(path("/missing.bin")) + 1000);

    int out = WriteFile(path("/pos.bin"));
    put("TX_IO_FRESH_EOF", Eof(out));
    WriteInt(out, 1);
    put("TX_IO_POS", FilePos(out));
    put("TX_IO_SEEK_NEGATIVE", SeekFile(out, -1));
    CloseFile(out);

    int both = OpenFile(path("/pos.bin"));
    WriteInt(both, 77);
    put("TX_IO_SEEK_START", SeekFile(both, 0) + 1000);
    put("TX_IO_READ_BACK", ReadInt(both));
    CloseFile(both);

    int big = ReadFile(path("/big.bin"));
    put("TX_IO_AVAIL_FRESH", ReadAvail(big) + 1000);
    ReadByte(big);
    put("TX_IO_AVAIL_AFTER_BYTE", ReadAvail(big));
    CloseFile(big);

    int level = ReadFile(path("\\DATA\\levels\\ONE.LVL"));
    put("TX_IO_LEVEL_BYTE", ReadByte(level));
    CloseFile(level);

    int source = ReadFile(path("/source.bin"));
    int copy = WriteFile(path("/copy.bin"));
    CopyStream(source, copy, 16384);
    CloseFile(source);
    CloseFile(copy);
}
