// The file-system service: directory and file-name operations on host paths, and the directory
// listings that are open. Every path is a program path (see path_lookup.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "directory.h"
#include "object_table.h"

namespace tx {

class HostFileSystem {
public:
    HostFileSystem() = default;
    HostFileSystem(const HostFileSystem&) = delete;
    HostFileSystem& operator=(const HostFileSystem&) = delete;

    // Each returns true on success.
    bool createDir(std::string_view path);  // one directory; parents are not created
    bool deleteDir(std::string_view path);  // it must be empty
    bool deleteFile(std::string_view path);
    // Replaces an existing target; a file is never copied onto itself.
    bool copyFile(std::string_view from, std::string_view to);
    bool setCurrentDir(std::string_view path);

    // The process's current directory ending with '/', or "" when it cannot be read.
    std::string currentDir() const;
    // The low 32 bits of a file's size; 0 when nothing is found or it is a directory. A last
    // component with wildcards (* and ?) takes the first entry of the listing that matches it.
    uint32_t fileSize(std::string_view path) const;
    // 0: nothing there (or it cannot be examined), 1: a file, 2: a directory.
    int32_t fileType(std::string_view path) const;

    // Starts a listing and returns its handle, or 0 when the directory cannot be listed. An
    // empty path lists the root directory.
    uint32_t openDir(std::string_view path);
    // The open listing a handle names, or null.
    HostDir* verifyDir(uint32_t dir) const { return openDirs_.find(dir); }
    // Closes an open listing; other handles are ignored.
    void closeDir(uint32_t dir) { openDirs_.erase(dir); }
    size_t openDirCount() const { return openDirs_.size(); }

private:
    ObjectTable<HostDir> openDirs_{handle_kind::kDirectory};
};

// True when name matches a pattern of '*' (any run of characters) and '?' (any one character),
// ignoring ASCII case.
bool matchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace tx
