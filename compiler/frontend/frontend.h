// The front end of txc: reads the main file and its includes, parses them and collects the
// program's declarations.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.h"
#include "program.h"

namespace tx::txc {

struct FrontEndResult {
    Program program;
    std::vector<Diagnostic> diagnostics;  // in order of file, line and column
    std::vector<std::string> files;       // display names, by SourcePos::file

    bool ok() const;
    // Every diagnostic as `file:line:column: message`, one a line.
    std::string diagnosticsText() const;
};

// Includes nest at most this deep.
inline constexpr int kMaxIncludeDepth = 64;

FrontEndResult parseProgram(const std::filesystem::path& mainFile);
// Parses source text as if it were the file fileName; includes are looked up next to fileName.
FrontEndResult parseSource(std::string_view source, std::string_view fileName);

}  // namespace tx::txc
