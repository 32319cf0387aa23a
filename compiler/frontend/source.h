// Source positions and the table of source files taking part in one compilation.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tx::txc {

// A place in a source file: the file's index in the SourceFiles table, its line and column, both
// counted from 1; columns count bytes.
struct SourcePos {
    uint32_t file = 0;
    uint32_t line = 1;
    uint32_t column = 1;
};

struct SourceFile {
    std::string displayName;              // as diagnostics show it
    std::filesystem::path canonicalPath;  // empty for sources that are not on disk
    std::string bytes;
};

// Every file read during one compilation, in the order they were first met.
class SourceFiles {
public:
    // Adds a source that is not (or not necessarily) a file on disk.
    uint32_t addVirtual(std::string displayName, std::string bytes,
                        std::filesystem::path canonicalPath = {});
    // The index of an already added file with this canonical path, or -1.
    int64_t find(const std::filesystem::path& canonicalPath) const;

    const SourceFile& operator[](uint32_t index) const { return files_[index]; }
    size_t size() const { return files_.size(); }
    std::vector<std::string> displayNames() const;

private:
    std::vector<SourceFile> files_;
};

// Reads a whole file as bytes; false if it cannot be opened or read.
bool readFileBytes(const std::filesystem::path& path, std::string& out);

}  // namespace tx::txc
