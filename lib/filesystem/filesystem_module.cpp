// The file-system module: file streams, listings and file-name operations.
#include <memory>

#include "command.h"
#include "filesystem_commands.h"
#include "filesystem_module.h"
#include "filesystem_state.h"

namespace tx {
namespace {

constexpr CommandDef kFilesystemCommands[] = {
    command<openFile>("%OpenFile$filename"),   command<readFile>("%ReadFile$filename"),
    command<writeFile>("%WriteFile$filename"), command<closeFile>("CloseFile%file_stream"),
    command<filePos>("%FilePos%file_stream"),  command<seekFile>("%SeekFile%file_stream%pos"),
    command<readDir>("%ReadDir$dirname"),      command<closeDir>("CloseDir%dir"),
    command<nextFile>("$NextFile%dir"),        command<currentDir>("$CurrentDir"),
    command<changeDir>("ChangeDir$dir"),       command<createDir>("CreateDir$dir"),
    command<deleteDir>("DeleteDir$dir"),       command<fileSize>("%FileSize$file"),
    command<fileType>("%FileType$file"),       command<copyFile>("CopyFile$file$to"),
    command<deleteFile>("DeleteFile$file"),
};

}  // namespace

void linkFilesystem(CommandRegistrar& registrar) {
    registrar.add(kFilesystemCommands);
}

// Fails when the module exists already: there is one file-system service at a time.
bool filesystemCreate() {
    if (ModuleState<FilesystemModule>::find() != nullptr) return false;
    ModuleState<FilesystemModule>::open(std::make_unique<FilesystemModule>());
    return true;
}

// Closes every file still open, also after a runtime error or End.
void filesystemDestroy() {
    ModuleState<FilesystemModule>::close();
}

}  // namespace tx
