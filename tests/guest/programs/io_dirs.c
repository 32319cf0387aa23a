/* Directories and file names: listings, the current directory, sizes, types, copies. */
#include "guest_report.h"

static txstr path(const char* name) {
    return _txStrConcat(GetEnv(_txStrConst("TX_IO_DIR")), _txStrConst(name));
}

TX_MAIN {
    CreateDir(path("/Made"));
    putInt("TX_IO_MADE_TYPE", FileType(path("/made")));
    putInt("TX_IO_MADE_TYPE_SEPARATOR", FileType(path("\\MADE\\")));
    putInt("TX_IO_MISSING_TYPE", FileType(path("/nothing")) + 1000);

    int file = WriteFile(path("/Made/a.txt"));
    WriteLine(file, _txStrConst("hello"));
    CloseFile(file);
    putInt("TX_IO_FILE_TYPE", FileType(path("/made/A.TXT")));

    int dir = ReadDir(path("/made"));
    txstr list = _txStrConst("");
    for (int i = 0; i < 5; ++i)
        list = _txStrConcat(list, _txStrConcat(NextFile(dir), _txStrConst("|")));
    SetEnv(_txStrConst("TX_IO_LIST"), list);
    CloseDir(dir);
    CloseDir(12345);
    putInt("TX_IO_READDIR_MISSING", ReadDir(path("/nothing")) + 1000);

    putInt("TX_IO_SIZE", FileSize(path("/made/a.txt")));
    putInt("TX_IO_DIR_SIZE", FileSize(path("/made")) + 1000);
    CopyFile(path("/made/a.txt"), path("/made/b.txt"));
    putInt("TX_IO_COPY_SIZE", FileSize(path("/made/b.txt")));
    DeleteFile(path("/made/a.txt"));
    DeleteFile(path("/made/B.txt"));
    putInt("TX_IO_DELETED_TYPE",
           FileType(path("/made/a.txt")) + FileType(path("/made/b.txt")) + 1000);

    ChangeDir(path("/made"));
    SetEnv(_txStrConst("TX_IO_CURRENT"), CurrentDir());
    ChangeDir(path(""));
    DeleteDir(path("/made"));
    putInt("TX_IO_GONE_TYPE", FileType(path("/made")) + 1000);
}
