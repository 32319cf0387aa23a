/* Guest declarations of the filesystem commands and routines; see tervex.h. */
#ifndef TERVEX_FILESYSTEM_H
#define TERVEX_FILESYSTEM_H

int OpenFile(txstr filename) __asm__("_fopenfile");
int ReadFile(txstr filename) __asm__("_freadfile");
int WriteFile(txstr filename) __asm__("_fwritefile");
void CloseFile(int file_stream) __asm__("_fclosefile");
int FilePos(int file_stream) __asm__("_ffilepos");
int SeekFile(int file_stream, int pos) __asm__("_fseekfile");
int ReadDir(txstr dirname) __asm__("_freaddir");
void CloseDir(int dir) __asm__("_fclosedir");
txstr NextFile(int dir) __asm__("_fnextfile");
txstr CurrentDir(void) __asm__("_fcurrentdir");
void ChangeDir(txstr dir) __asm__("_fchangedir");
void CreateDir(txstr dir) __asm__("_fcreatedir");
void DeleteDir(txstr dir) __asm__("_fdeletedir");
int FileSize(txstr file) __asm__("_ffilesize");
int FileType(txstr file) __asm__("_ffiletype");
void CopyFile(txstr file, txstr to) __asm__("_fcopyfile");
void DeleteFile(txstr file) __asm__("_fdeletefile");

#endif
