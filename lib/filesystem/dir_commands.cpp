// Directory listings, the current directory, and operations on directories and file names.
#include <string>

#include "filesystem_commands.h"
#include "filesystem_state.h"

namespace tx {

uint32_t readDir(FilesystemModule& module, StrArg dirName) {
    return module.fileSystem.openDir(dirName.view());
}

void closeDir(FilesystemModule& module, Handle<HostDir, HandleCheck::Lenient> dir) {
    if (dir) module.fileSystem.closeDir(dir.raw());
}

Str nextFile(Handle<HostDir> dir) {
    return dir ? strNew(dir->nextFile()) : strNew({});
}

Str currentDir(FilesystemModule& module) {
    return strNew(module.fileSystem.currentDir());
}

void changeDir(FilesystemModule& module, StrArg dir) {
    module.fileSystem.setCurrentDir(dir.view());
}

void createDir(FilesystemModule& module, StrArg dir) {
    module.fileSystem.createDir(dir.view());
}

void deleteDir(FilesystemModule& module, StrArg dir) {
    module.fileSystem.deleteDir(dir.view());
}

int32_t fileSize(FilesystemModule& module, StrArg file) {
    return static_cast<int32_t>(module.fileSystem.fileSize(file.view()));
}

int32_t fileType(FilesystemModule& module, StrArg file) {
    return module.fileSystem.fileType(file.view());
}

void copyFile(FilesystemModule& module, StrArg file, StrArg to) {
    module.fileSystem.copyFile(file.view(), to.view());
}

void deleteFile(FilesystemModule& module, StrArg file) {
    module.fileSystem.deleteFile(file.view());
}

}  // namespace tx
