/* File streams: open modes, positions, read-ahead, odd path spellings and CopyStream. */
#include "guest_report.h"

TX_MAIN {
    putInt("TX_IO_READ_MISSING", ReadFile(ioPath("/missing.bin")) + 1000);
    putInt("TX_IO_OPEN_MISSING", OpenFile(ioPath("/missing.bin")) + 1000);

    int out = WriteFile(ioPath("/pos.bin"));
    putInt("TX_IO_FRESH_EOF", Eof(out));
    WriteInt(out, 1);
    putInt("TX_IO_POS", FilePos(out));
    putInt("TX_IO_SEEK_NEGATIVE", SeekFile(out, -1));
    CloseFile(out);

    int both = OpenFile(ioPath("/pos.bin"));
    WriteInt(both, 77);
    putInt("TX_IO_SEEK_START", SeekFile(both, 0) + 1000);
    putInt("TX_IO_READ_BACK", ReadInt(both));
    CloseFile(both);

    int big = ReadFile(ioPath("/big.bin"));
    putInt("TX_IO_AVAIL_FRESH", ReadAvail(big) + 1000);
    ReadByte(big);
    putInt("TX_IO_AVAIL_AFTER_BYTE", ReadAvail(big));
    CloseFile(big);

    int level = ReadFile(ioPath("\\DATA\\levels\\ONE.LVL"));
    putInt("TX_IO_LEVEL_BYTE", ReadByte(level));
    CloseFile(level);

    int source = ReadFile(ioPath("/source.bin"));
    int copy = WriteFile(ioPath("/copy.bin"));
    CopyStream(source, copy, 16384);
    CloseFile(source);
    CloseFile(copy);
}
