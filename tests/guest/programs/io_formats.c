/* Every stream value format written to a file and read back through the stream commands. */
#include "guest_report.h"

TX_MAIN {
    int out = WriteFile(ioPath("/formats.bin"));
    WriteByte(out, 300);
    WriteByte(out, -1);
    WriteShort(out, -1);
    WriteInt(out, 1);
    WriteFloat(out, 1.0f);
    WriteFloat(out, -2.5f);
    WriteString(out, _txStrConst("abc"));
    WriteLine(out, _txStrConst("abc"));
    CloseFile(out);

    int in = ReadFile(ioPath("/formats.bin"));
    putInt("TX_IO_BYTE1", ReadByte(in));
    putInt("TX_IO_BYTE2", ReadByte(in));
    putInt("TX_IO_SHORT", ReadShort(in));
    putInt("TX_IO_INT", ReadInt(in));
    putInt("TX_IO_FLOAT", floatBits(ReadFloat(in)));
    putInt("TX_IO_FLOAT2", floatBits(ReadFloat(in)));
    putText("TX_IO_STRING",
            _txStrConcat(_txStrConst("["), _txStrConcat(ReadString(in), _txStrConst("]"))));
    putText("TX_IO_LINE",
            _txStrConcat(_txStrConst("["), _txStrConcat(ReadLine(in), _txStrConst("]"))));
    putInt("TX_IO_PAST_END", ReadInt(in) + 1000);
    putInt("TX_IO_EOF", Eof(in));
    CloseFile(in);

    /* CR LF and a bare LF end lines alike; a CR inside a line is dropped. */
    out = WriteFile(ioPath("/lines.txt"));
    WriteByte(out, 'a');
    WriteByte(out, 13);
    WriteByte(out, 'b');
    WriteByte(out, 10);
    WriteLine(out, _txStrConst("next"));
    CloseFile(out);
    in = ReadFile(ioPath("/lines.txt"));
    txstr first = ReadLine(in);
    txstr second = ReadLine(in);
    putText("TX_IO_LINES", _txStrConcat(first, _txStrConcat(_txStrConst("+"), second)));
    CloseFile(in);
}
