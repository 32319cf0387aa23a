// The file-system commands: file streams (opening, closing, positioning), directory listings,
// the current directory, and operations on directories and file names.
//
// Paths accept `\` and `/` as separators and are looked up ignoring case when they do not exist
// as spelled (path_lookup.h). Failures to open return 0; directory and file operations fail
// silently (FileType tells the outcome).
#pragma once

#include <cstdint>

#include "tx_string.h"

namespace tx {

uint32_t openFile(StrArg name);   // read and write; the file must exist
uint32_t readFile(StrArg name);   // read only; the file must exist
uint32_t writeFile(StrArg name);  // write only; created or emptied
// With the debug flag set a handle that is not an open file raises "File does not exist".
void closeFile(uint32_t fileStream);
// Both write out pending bytes and drop read-ahead. A handle that is not an open file raises
// "File does not exist" with the debug flag set; otherwise FilePos gives 0 and SeekFile -1.
int32_t filePos(uint32_t fileStream);
int32_t seekFile(uint32_t fileStream, int32_t pos);  // -1 for a negative pos

uint32_t readDir(StrArg dirName);
void closeDir(uint32_t dir);  // a handle that is not open is ignored
// The next entry name, "" after the last. With the debug flag set a handle that is not an open
// listing raises "Directory does not exist".
Str nextFile(uint32_t dir);
Str currentDir();  // ends with '/'
void changeDir(StrArg dir);
void createDir(StrArg dir);
void deleteDir(StrArg dir);
int32_t fileSize(StrArg file);
int32_t fileType(StrArg file);
void copyFile(StrArg file, StrArg to);
void deleteFile(StrArg file);

}  // namespace tx
