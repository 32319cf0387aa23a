// The file-system module's state while the module exists: the file-system service and the file
// streams that the open commands returned and that are not closed yet.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "file_stream.h"
#include "host_file_system.h"
#include "module_state.h"
#include "stream_set.h"

namespace tx {

struct FilesystemModule {
    static constexpr const char* kModuleName = "filesystem";
    FilesystemModule() = default;
    // Closes every file still open (writing out what is buffered), lowest handle first, then the
    // service, which closes every listing still open.
    ~FilesystemModule() { openFiles.clear(); }
    FilesystemModule(const FilesystemModule&) = delete;
    FilesystemModule& operator=(const FilesystemModule&) = delete;

    HostFileSystem fileSystem;
    StreamSet<FileStream> openFiles;
};

// The module's state; null while the module does not exist.
inline FilesystemModule* filesystemModule() {
    return ModuleState<FilesystemModule>::find();
}

// An open file: a stream of the file subtype.
template <>
struct HandleKind<FileStream> : StreamSubtypeKind<FileStream> {
    static constexpr HandleKindInfo info{"File", handle_kind::kStream, "File does not exist"};
};

template <>
struct HandleKind<HostDir> {
    static constexpr HandleKindInfo info{"Directory", handle_kind::kDirectory,
                                         "Directory does not exist"};
    static HostDir* find(uint32_t handle) {
        const FilesystemModule* module = filesystemModule();
        return module != nullptr ? module->fileSystem.verifyDir(handle) : nullptr;
    }
};

}  // namespace tx
