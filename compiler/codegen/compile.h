// The back end of txc: checks a parsed program against the language's rules and the commands of
// the runtime, and generates its module image.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "command_catalog.h"
#include "frontend.h"
#include "x86_encoded_code.h"

namespace tx::txc {

struct CompileOptions {
    // Bounds checks on arrays and vectors, null-object checks and a statement hook per statement,
    // so that a runtime error names the source file and line.
    bool debug = false;
};

struct CompileResult {
    std::optional<::txc::x86::EncodedCode> code;  // set when there were no errors
    std::vector<Diagnostic> diagnostics;          // in order of file, line and column
    std::vector<std::string> files;               // display names, by SourcePos::file

    bool ok() const { return code.has_value(); }
    // Every diagnostic as `file:line:column: message`, one a line.
    std::string diagnosticsText() const;
    // The module image bytes (valid when ok()).
    std::vector<uint8_t> imageBytes() const;
};

// Compiles a program the front end parsed without errors (with errors, returns them unchanged).
CompileResult compileProgram(FrontEndResult parsed, const CommandCatalog& commands,
                             const CompileOptions& options = {});

// Front end and back end in one: the file at mainFile, or source text standing for fileName.
CompileResult compileFile(const std::filesystem::path& mainFile, const CommandCatalog& commands,
                          const CompileOptions& options = {});
CompileResult compileSource(std::string_view source, std::string_view fileName,
                            const CommandCatalog& commands, const CompileOptions& options = {});

}  // namespace tx::txc
