/* Streams, files, directories and banks from compiled code, in the directory the test gives in
 * TX_DIR. The command line picks the case; the bad calls end the program with the debug flag set
 * and do nothing with it clear. */
#include "check.h"

static txstr bracketed(txstr s) {
    return _txStrConcat(_txStrConcat(S("["), s), S("]"));
}

static void formats(void) {
    int out = WriteFile(dirPath("/formats.bin"));
    CHECK(Eof(out) == 1);
    WriteByte(out, 300);
    WriteByte(out, -1);
    WriteShort(out, -1);
    WriteInt(out, 1);
    WriteFloat(out, 1.0f);
    WriteFloat(out, -2.5f);
    WriteString(out, S("abc"));
    WriteLine(out, S("abc"));
    CHECK(FilePos(out) == 28);
    CHECK(SeekFile(out, -1) == -1);
    CloseFile(out);

    int in = ReadFile(dirPath("/formats.bin"));
    CHECK(ReadByte(in) == 44);
    CHECK(ReadByte(in) == 255);
    CHECK(ReadShort(in) == 65535);
    CHECK(ReadInt(in) == 1);
    CHECK(floatBits(ReadFloat(in)) == 0x3F800000);
    CHECK(ReadFloat(in) == -2.5f);
    CHECK(same(bracketed(ReadString(in)), "[abc]"));
    CHECK(same(bracketed(ReadLine(in)), "[abc]"));
    CHECK(ReadInt(in) == 0);
    CHECK(Eof(in) == 1);
    CHECK(SeekFile(in, 4) == 4 && ReadByte(in) == 1);
    CloseFile(in);

    /* CR LF and a bare LF end lines alike; a CR inside a line is dropped. */
    out = WriteFile(dirPath("/lines.txt"));
    WriteByte(out, 'a');
    WriteByte(out, 13);
    WriteByte(out, 'b');
    WriteByte(out, 10);
    WriteLine(out, S("next"));
    CloseFile(out);
    in = ReadFile(dirPath("/lines.txt"));
    CHECK(same(ReadLine(in), "ab"));
    CHECK(same(ReadLine(in), "next"));
    CloseFile(in);
}

static void files(void) {
    CHECK(ReadFile(dirPath("/missing.bin")) == 0);
    CHECK(OpenFile(dirPath("/missing.bin")) == 0);
    CHECK(FileType(dirPath("/missing.bin")) == 0);

    /* OpenFile reads and writes without truncating. */
    int both = WriteFile(dirPath("/pos.bin"));
    WriteInt(both, 1);
    WriteInt(both, 2);
    CloseFile(both);
    both = OpenFile(dirPath("/pos.bin"));
    WriteInt(both, 77);
    CHECK(ReadInt(both) == 2);
    CHECK(SeekFile(both, 0) == 0 && ReadInt(both) == 77);
    CloseFile(both);

    /* CopyStream into a new file copies it all. */
    int source = WriteFile(dirPath("/source.bin"));
    for (int i = 0; i < 10000; ++i) WriteInt(source, i * 2654435761u);
    CloseFile(source);
    source = ReadFile(dirPath("/source.bin"));
    int copy = WriteFile(dirPath("/copy.bin"));
    CopyStream(source, copy, 16384);
    CHECK(Eof(source) == 1);
    CloseFile(source);
    CloseFile(copy);
    CHECK(FileSize(dirPath("/copy.bin")) == 40000);
    /* Read-ahead: nothing before the first read, the rest of the buffer after it. */
    copy = ReadFile(dirPath("/copy.bin"));
    CHECK(ReadAvail(copy) == 0);
    CHECK(ReadInt(copy) == 0 && ReadAvail(copy) == 4092);
    for (int i = 1; i < 10000; ++i) CHECK(ReadInt(copy) == (int)(i * 2654435761u));
    CloseFile(copy);
}

static void directories(void) {
    CreateDir(dirPath("/Made"));
    CHECK(FileType(dirPath("/made")) == 2);
    CHECK(FileType(dirPath("\\MADE\\")) == 2);
    CHECK(FileType(dirPath("/nothing")) == 0);
    int file = WriteFile(dirPath("/Made/a.txt"));
    WriteLine(file, S("hello"));
    CloseFile(file);
    CHECK(FileType(dirPath("/made/A.TXT")) == 1);

    int dir = ReadDir(dirPath("/made"));
    txstr list = S("");
    for (int i = 0; i < 5; ++i) list = _txStrConcat(list, _txStrConcat(NextFile(dir), S("|")));
    CHECK(same(list, ".|..|a.txt|||"));
    CloseDir(dir);
    CHECK(ReadDir(dirPath("/nothing")) == 0);

    CHECK(FileSize(dirPath("/made/a.txt")) == 7);
    CHECK(FileSize(dirPath("/made")) == 0);
    CopyFile(dirPath("/made/a.txt"), dirPath("/made/b.txt"));
    CHECK(FileSize(dirPath("/made/b.txt")) == 7);
    CHECK(FileSize(dirPath("/made/?.TXT")) == 7 && FileSize(dirPath("/made/*.bin")) == 0);
    /* Failures are silent: no parents are made, a directory with files stays, DeleteFile leaves
     * directories alone; a copy overwrites, onto itself loses nothing, from nothing makes nothing.
     */
    CreateDir(dirPath("/no/parents"));
    DeleteDir(dirPath("/made"));
    DeleteFile(dirPath("/made"));
    CHECK(FileType(dirPath("/no")) == 0 && FileType(dirPath("/made")) == 2);
    file = WriteFile(dirPath("/made/c.txt"));
    WriteLine(file, S("a longer line"));
    CloseFile(file);
    CopyFile(dirPath("/made/a.txt"), dirPath("/made/c.txt"));
    CopyFile(dirPath("/made/a.txt"), dirPath("/MADE/A.TXT"));
    CopyFile(dirPath("/missing"), dirPath("/never"));
    CHECK(FileSize(dirPath("/made/c.txt")) == 7 && FileSize(dirPath("/made/a.txt")) == 7);
    CHECK(FileType(dirPath("/never")) == 0);
    /* A copy is renamed into place whole: nothing but the two files is left in the folder, and
     * a source that cannot be copied (a folder) leaves the target as it was. */
    CreateDir(dirPath("/made/sub"));
    CopyFile(dirPath("/made/sub"), dirPath("/made/c.txt"));
    CHECK(FileSize(dirPath("/made/c.txt")) == 7);
    DeleteDir(dirPath("/made/sub"));
    int listing = ReadDir(dirPath("/made"));
    int entries = 0;
    for (txstr name = NextFile(listing); !same(name, ""); name = NextFile(listing)) ++entries;
    CloseDir(listing);
    CHECK(entries == 5); /* ".", "..", a.txt, b.txt, c.txt */
    DeleteFile(dirPath("/made/c.txt"));
    DeleteFile(dirPath("/made/a.txt"));
    DeleteFile(dirPath("/made/B.txt"));
    CHECK(FileType(dirPath("/made/a.txt")) == 0 && FileType(dirPath("/made/b.txt")) == 0);

    ChangeDir(dirPath("/made"));
    CHECK(_txStrCompare(CurrentDir(), dirPath("/Made/")) == 0);
    ChangeDir(dirPath(""));
    DeleteDir(dirPath("/made"));
    CHECK(FileType(dirPath("/made")) == 0);
}

static txstr bytesOf(int bank, int count) {
    txstr text = S("");
    for (int i = 0; i < count; ++i) text = _txStrConcat(text, _txStrFromInt(PeekByte(bank, i)));
    return text;
}

static void banks(void) {
    int bank = CreateBank(100);
    PokeByte(bank, 99, 7);
    ResizeBank(bank, 113);
    ResizeBank(bank, 1000);
    CHECK(BankSize(bank) == 1000);
    CHECK(PeekByte(bank, 99) == 7);
    CHECK(PeekInt(bank, 996) == 0); /* bytes that join the bank read 0 */
    /* A device that takes no byte: every write, small or direct, reports nothing written. */
    int full = OpenFile(_txStrConst("/dev/full"));
    CHECK(full != 0 && WriteBytes(bank, full, 0, 100) == 0 && WriteBytes(bank, full, 0, 1000) == 0);
    CloseFile(full);

    PokeInt(bank, 0, -1);
    CHECK(PeekByte(bank, 0) == 255 && PeekShort(bank, 0) == 65535);
    PokeFloat(bank, 4, 1.0f);
    CHECK(PeekInt(bank, 4) == 0x3F800000);
    PokeShort(bank, 8, 0x12345);
    CHECK(PeekShort(bank, 8) == 0x2345);
    PokeByte(bank, 10, 300);
    CHECK(PeekByte(bank, 10) == 44);
    PokeInt(bank, 12, 0x3FC00000);
    CHECK(PeekFloat(bank, 12) == 1.5f);

    int digits = CreateBank(10);
    for (int i = 0; i < 10; ++i) PokeByte(digits, i, i);
    CopyBank(digits, 0, digits, 1, 9);
    CHECK(same(bytesOf(digits, 10), "0012345678"));
    ResizeBank(digits, 4); /* bytes that come back within the block read 0 again */
    ResizeBank(digits, 10);
    CHECK(same(bytesOf(digits, 10), "0012000000"));
    for (int i = 0; i < 10; ++i) PokeByte(digits, i, i);
    CopyBank(digits, 0, digits, 1, 9);

    int out = WriteFile(dirPath("/bank.bin"));
    CHECK(WriteBytes(digits, out, 0, 10) == 10);
    CloseFile(out);
    int empty = CreateBank(0);
    CHECK(BankSize(empty) == 0);
    ResizeBank(empty, 20);
    int in = ReadFile(dirPath("/bank.bin"));
    CHECK(ReadBytes(empty, in, 5, 15) == 10);
    CHECK(ReadBytes(empty, in, 0, 5) == 0);
    CloseFile(in);
    CHECK(same(bytesOf(empty, 20), "00000001234567800000"));

    FreeBank(digits);
}

TX_MAIN {
    static const txCase cases[] = {
        {"formats", formats}, {"files", files}, {"directories", directories}, {"banks", banks}};
    if (RUN_CASE(cases)) return;
    /* One bad or borderline call; with the debug flag clear it does nothing and answers 0. */
    int result = 0;
    int bank = CreateBank(10);
    int a = WriteFile(dirPath("/a.bin"));
    int b = WriteFile(dirPath("/b.bin"));
    if (argumentIs("buffer0")) CopyStream(a, b, 0);
    if (argumentIs("buffermax")) CopyStream(a, b, 1048576);
    if (argumentIs("buffertoobig")) CopyStream(a, b, 1048577);
    if (argumentIs("emptybank")) result = PeekByte(CreateBank(0), 0);
    if (argumentIs("int6")) result = PeekInt(bank, 6);
    if (argumentIs("int7")) result = PeekInt(bank, 7);
    if (argumentIs("intmax")) result = PeekInt(bank, 2147483647);
    if (argumentIs("short8")) PokeShort(bank, 8, 1);
    if (argumentIs("negative")) PokeInt(bank, -2, -1);
    if (argumentIs("copysrc")) CopyBank(bank, 5, bank, 0, 6);
    if (argumentIs("writebytes")) result = WriteBytes(bank, a, 0, 11);
    CHECK(result == 0);
    for (int i = 0; i < 10; i += 2) CHECK(PeekShort(bank, i) == (i == 8 && argumentIs("short8")));
}
