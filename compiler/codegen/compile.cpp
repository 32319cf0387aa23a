#include "compile.h"

#include <algorithm>
#include <stdexcept>

#include "code_generator.h"

namespace tx::txc {

std::string CompileResult::diagnosticsText() const {
    std::string text;
    for (const auto& diagnostic : diagnostics) text += formatDiagnostic(diagnostic, files) + "\n";
    return text;
}

std::vector<uint8_t> CompileResult::imageBytes() const {
    return code ? writeModuleImage(code->moduleImage()) : std::vector<uint8_t>{};
}

CompileResult compileProgram(FrontEndResult parsed, const CommandCatalog& commands,
                             const CompileOptions& options) {
    CompileResult result;
    result.files = std::move(parsed.files);
    if (!parsed.ok()) {
        result.diagnostics = std::move(parsed.diagnostics);
        return result;
    }
    Diagnostics diagnostics;
    std::optional<::txc::x86::EncodedCode> code;
    try {
        CodeGenerator generator(parsed.program, commands, options, diagnostics, result.files);
        code = generator.generate();
    } catch (const TooManyErrors&) {
    } catch (const std::exception& e) {
        // A fault of the compiler itself, reported rather than crashing.
        if (diagnostics.errorCount() == 0) {
            try {
                diagnostics.error(SourcePos{0, 1, 1},
                                  std::string("internal compiler error: ") + e.what());
            } catch (const TooManyErrors&) {
            }
        }
    }
    std::vector<Diagnostic> list = std::move(parsed.diagnostics);  // notes and warnings, if any
    for (Diagnostic& d : diagnostics.take()) list.push_back(std::move(d));
    std::stable_sort(list.begin(), list.end(), [](const Diagnostic& a, const Diagnostic& b) {
        if (a.severity != b.severity) return b.severity == Diagnostic::Severity::Note;
        if (a.pos.file != b.pos.file) return a.pos.file < b.pos.file;
        if (a.pos.line != b.pos.line) return a.pos.line < b.pos.line;
        return a.pos.column < b.pos.column;
    });
    // One mistake met by several passes is reported once.
    list.erase(std::unique(list.begin(), list.end(),
                           [](const Diagnostic& a, const Diagnostic& b) {
                               return a.pos.file == b.pos.file && a.pos.line == b.pos.line &&
                                      a.pos.column == b.pos.column && a.message == b.message;
                           }),
               list.end());
    result.diagnostics = std::move(list);
    const bool failed =
        std::any_of(result.diagnostics.begin(), result.diagnostics.end(),
                    [](const Diagnostic& d) { return d.severity == Diagnostic::Severity::Error; });
    if (!failed) result.code = std::move(code);
    return result;
}

CompileResult compileFile(const std::filesystem::path& mainFile, const CommandCatalog& commands,
                          const CompileOptions& options) {
    return compileProgram(parseProgram(mainFile), commands, options);
}

CompileResult compileSource(std::string_view source, std::string_view fileName,
                            const CommandCatalog& commands, const CompileOptions& options) {
    return compileProgram(parseSource(source, fileName), commands, options);
}

}  // namespace tx::txc
