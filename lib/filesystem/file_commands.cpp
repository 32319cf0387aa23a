// Opening, closing and positioning file streams.
#include <string>
#include <utility>

#include "basic_module.h"
#include "filesystem_commands.h"
#include "filesystem_state.h"
#include "path_lookup.h"
#include "tx_error.h"

namespace tx {
namespace {

uint32_t open(StrArg name, BufferedFile::Mode mode) {
    const std::string path = hostPath(name.view());
    name = StrArg();  // the argument is released before the file is touched
    FilesystemModule* module = filesystemModule();
    if (module == nullptr || path.empty()) return 0;
    auto file = BufferedFile::open(path, mode);
    if (file == nullptr) return 0;
    auto stream = std::make_unique<FileStream>(std::move(file));
    const uint32_t handle = stream->handle();
    if (handle == 0) return 0;  // no handle left: the stream closes again
    module->openFiles.emplace(handle, std::move(stream));
    return handle;
}

// The open file a handle names; null, after raising "File does not exist" when the debug flag
// is set, for anything else.
FileStream* openFileArgument(uint32_t handle) {
    FilesystemModule* module = filesystemModule();
    if (module != nullptr) {
        if (auto it = module->openFiles.find(handle); it != module->openFiles.end())
            return it->second.get();
    }
    if (debugEnabled()) runtimeError("File does not exist");
    return nullptr;
}

}  // namespace

uint32_t openFile(StrArg name) {
    return open(std::move(name), BufferedFile::Mode::ReadWrite);
}
uint32_t readFile(StrArg name) {
    return open(std::move(name), BufferedFile::Mode::Read);
}
uint32_t writeFile(StrArg name) {
    return open(std::move(name), BufferedFile::Mode::Write);
}

void closeFile(uint32_t handle) {
    if (openFileArgument(handle) == nullptr) return;
    // Destroying the stream writes out what is buffered and closes the file.
    filesystemModule()->openFiles.erase(handle);
}

int32_t filePos(uint32_t handle) {
    FileStream* stream = openFileArgument(handle);
    if (stream == nullptr) return 0;
    BufferedFile& file = stream->file();
    file.seek(file.position());
    return static_cast<int32_t>(file.position());
}

int32_t seekFile(uint32_t handle, int32_t pos) {
    FileStream* stream = openFileArgument(handle);
    if (stream == nullptr) return -1;
    BufferedFile& file = stream->file();
    if (!file.seek(pos)) return -1;
    return static_cast<int32_t>(file.position());
}

}  // namespace tx
