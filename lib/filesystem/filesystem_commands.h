// The file-system commands: file streams (opening, closing, positioning), directory listings,
// the current directory, and operations on directories and file names.
//
// Paths accept `\` and `/` as separators and are looked up ignoring case when they do not exist
// as spelled (path_lookup.h). Failures to open return 0; directory and file operations fail
// silently (FileType tells the outcome).
#pragma once

#include <cstdint>

#include "filesystem_state.h"
#include "handle.h"
#include "tx_string.h"

namespace tx {

uint32_t openFile(FilesystemModule& module, StrArg name);   // read and write; must exist
uint32_t readFile(FilesystemModule& module, StrArg name);   // read only; must exist
uint32_t writeFile(FilesystemModule& module, StrArg name);  // write only; created or emptied
using FileHandle = Handle<FileStream>;

void closeFile(FilesystemModule& module, FileHandle file);
// Both write out pending bytes and drop read-ahead. For a handle that is not an open file
// FilePos gives 0 and SeekFile -1.
int32_t filePos(FileHandle file);
int32_t seekFile(FileHandle file, int32_t pos);  // -1 for a negative pos

uint32_t readDir(FilesystemModule& module, StrArg dirName);
void closeDir(FilesystemModule& module,
              Handle<HostDir, HandleCheck::Lenient> dir);  // a handle that is not open is ignored
// The next entry name, "" after the last.
Str nextFile(Handle<HostDir> dir);
Str currentDir(FilesystemModule& module);  // ends with '/'
void changeDir(FilesystemModule& module, StrArg dir);
void createDir(FilesystemModule& module, StrArg dir);
void deleteDir(FilesystemModule& module, StrArg dir);
int32_t fileSize(FilesystemModule& module, StrArg file);
int32_t fileType(FilesystemModule& module, StrArg file);
void copyFile(FilesystemModule& module, StrArg file, StrArg to);
void deleteFile(FilesystemModule& module, StrArg file);

}  // namespace tx
