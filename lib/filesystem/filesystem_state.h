// The file-system module's state while the module exists: the file-system service and the file
// streams that the open commands returned and that are not closed yet.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "file_stream.h"
#include "host_file_system.h"

namespace tx {

struct FilesystemModule {
    HostFileSystem fileSystem;
    // Keyed by the stream's handle.
    std::map<uint32_t, std::unique_ptr<FileStream>> openFiles;
};

// The module's state; null while the module does not exist.
FilesystemModule* filesystemModule();

}  // namespace tx
