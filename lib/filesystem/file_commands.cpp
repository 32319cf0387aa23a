// Opening, closing and positioning file streams.
#include <string>
#include <utility>

#include "filesystem_commands.h"
#include "filesystem_state.h"
#include "path_lookup.h"

namespace tx {
namespace {

uint32_t open(FilesystemModule& module, StrArg name, BufferedFile::Mode mode) {
    const std::string path = hostPath(name.view());
    name = StrArg();  // the argument is released before the file is touched
    if (path.empty()) return 0;
    auto file = BufferedFile::open(path, mode);
    if (file == nullptr) return 0;
    // With no handle left the stream closes again.
    return module.openFiles.insert(std::make_unique<FileStream>(std::move(file)));
}

}  // namespace

uint32_t openFile(FilesystemModule& module, StrArg name) {
    return open(module, std::move(name), BufferedFile::Mode::ReadWrite);
}
uint32_t readFile(FilesystemModule& module, StrArg name) {
    return open(module, std::move(name), BufferedFile::Mode::Read);
}
uint32_t writeFile(FilesystemModule& module, StrArg name) {
    return open(module, std::move(name), BufferedFile::Mode::Write);
}

void closeFile(FilesystemModule& module, FileHandle file) {
    if (!file) return;
    // Destroying the stream writes out what is buffered and closes the file.
    module.openFiles.erase(file.raw());
}

int32_t filePos(FileHandle stream) {
    if (!stream) return 0;
    BufferedFile& file = stream->file();
    file.seek(file.position());
    return static_cast<int32_t>(file.position());
}

int32_t seekFile(FileHandle stream, int32_t pos) {
    if (!stream) return -1;
    BufferedFile& file = stream->file();
    if (!file.seek(pos)) return -1;
    return static_cast<int32_t>(file.position());
}

}  // namespace tx
