/* Directories and file names: listings, the current directory, sizes, types, copies. */
#include "guest_report.h"

TX_MAIN {
    CreateDir(ioPath("/Made"));
    putInt("TX_IO_MADE_TYPE", FileType(ioPath("/made")));
    putInt("TX_IO_MADE_TYPE_SEPARATOR", FileType(ioPath("\\MADE\\")));
    putInt("TX_IO_MISSING_TYPE", FileType(ioPath("/nothing")) + 1000);

    int file = WriteFile(ioPath("/Made/a.txt"));
    WriteLine(file, _txStrConst("hello"));
    CloseFile(file);
    putInt("TX_IO_FILE_TYPE", FileType(ioPath("/made/A.TXT")));

    int dir = ReadDir(ioPath("/made"));
    txstr list = _txStrConst("");
    for (int i = 0; i < 5; ++i)
        list = _txStrConcat(list, _txStrConcat(NextFile(dir), _txStrConst("|")));
    SetEnv(_txStrConst("TX_IO_LIST"), list);
    CloseDir(dir);
    CloseDir(12345);
    putInt("TX_IO_READDIR_MISSING", ReadDir(ioPath("/nothing")) + 1000);

    putInt("TX_IO_SIZE", FileSize(ioPath("/made/a.txt")));
    putInt("TX_IO_DIR_SIZE", FileSize(ioPath("/made")) + 1000);
    CopyFile(ioPath("/made/a.txt"), ioPath("/made/b.txt"));
    putInt("TX_IO_COPY_SIZE", FileSize(ioPath("/made/b.txt")));
    DeleteFile(ioPath("/made/a.txt"));
    DeleteFile(ioPath("/made/B.txt"));
    putInt("TX_IO_DELETED_TYPE",
           FileType(ioPath("/made/a.txt")) + FileType(ioPath("/made/b.txt")) + 1000);

    ChangeDir(ioPath("/made"));
    SetEnv(_txStrConst("TX_IO_CURRENT"), CurrentDir());
    ChangeDir(ioPath(""));
    DeleteDir(ioPath("/made"));
    putInt("TX_IO_GONE_TYPE", FileType(ioPath("/made")) + 1000);
}
