// The file-system module: file streams, listings and file-name operations.
#include <memory>

#include "command.h"
#include "filesystem_commands.h"
#include "filesystem_state.h"
#include "library_modules.h"

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

std::unique_ptr<FilesystemModule>& state() {
    static std::unique_ptr<FilesystemModule> module;
    return module;
}

}  // namespace

FilesystemModule* filesystemModule() {
    return state().get();
}

void linkFilesystem(CommandRegistrar& registrar) {
    registrar.add(kFilesystemCommands);
}

// Fails when the module exists already: there is one file-system service at a time.
bool filesystemCreate() {
    auto& module = state();
    if (module != nullptr) return false;
    module = std::make_unique<FilesystemModule>();
    return true;
}

// Closes every file still open (writing out what is buffered, also after a runtime error or
// End), then the service, which closes every listing still open.
void filesystemDestroy() {
    auto& module = state();
    if (module == nullptr) return;
    auto& files = module->openFiles;
    while (!files.empty()) files.erase(files.begin());
    module.reset();
}

}  // namespace tx
