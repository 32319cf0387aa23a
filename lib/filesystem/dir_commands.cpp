// Directory listings, the current directory, and operations on directories and file names.
#include <string>

#include "basic_module.h"
#include "filesystem_commands.h"
#include "filesystem_state.h"
#include "tx_error.h"

namespace tx {
namespace {

HostFileSystem* fileSystem() {
    FilesystemModule* module = filesystemModule();
    return module != nullptr ? &module->fileSystem : nullptr;
}

}  // namespace

uint32_t readDir(StrArg dirName) {
    HostFileSystem* fs = fileSystem();
    return fs != nullptr ? fs->openDir(dirName.view()) : 0;
}

void closeDir(uint32_t dir) {
    if (HostFileSystem* fs = fileSystem()) fs->closeDir(dir);
}

Str nextFile(uint32_t dir) {
    HostFileSystem* fs = fileSystem();
    HostDir* listing = fs != nullptr ? fs->verifyDir(dir) : nullptr;
    if (listing == nullptr) {
        if (debugEnabled()) runtimeError("Directory does not exist");
        return strNew({});
    }
    return strNew(listing->nextFile());
}

Str currentDir() {
    HostFileSystem* fs = fileSystem();
    return strNew(fs != nullptr ? fs->currentDir() : std::string());
}

void changeDir(StrArg dir) {
    if (HostFileSystem* fs = fileSystem()) fs->setCurrentDir(dir.view());
}

void createDir(StrArg dir) {
    if (HostFileSystem* fs = fileSystem()) fs->createDir(dir.view());
}

void deleteDir(StrArg dir) {
    if (HostFileSystem* fs = fileSystem()) fs->deleteDir(dir.view());
}

int32_t fileSize(StrArg file) {
    HostFileSystem* fs = fileSystem();
    return fs != nullptr ? static_cast<int32_t>(fs->fileSize(file.view())) : 0;
}

int32_t fileType(StrArg file) {
    HostFileSystem* fs = fileSystem();
    return fs != nullptr ? fs->fileType(file.view()) : 0;
}

void copyFile(StrArg file, StrArg to) {
    if (HostFileSystem* fs = fileSystem()) fs->copyFile(file.view(), to.view());
}

void deleteFile(StrArg file) {
    if (HostFileSystem* fs = fileSystem()) fs->deleteFile(file.view());
}

}  // namespace tx
