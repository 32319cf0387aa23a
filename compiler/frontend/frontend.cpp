#include "frontend.h"

#include <algorithm>

#include "declarations.h"
#include "lexer.h"
#include "parser.h"

namespace tx::txc {
namespace {

std::filesystem::path canonicalOf(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return path.lexically_normal();
    std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : canonical;
}

// Parses files and expands their includes in place, each file once.
class Loader {
public:
    Loader() : collector_(result_.program.declarations, diagnostics_, files_) {}

    FrontEndResult run(std::string displayName, std::string bytes,
                       const std::filesystem::path& path) {
        const uint32_t main =
            files_.addVirtual(std::move(displayName), std::move(bytes), canonicalOf(path));
        paths_.push_back(path);
        try {
            load(main, 0);
        } catch (const TooManyErrors&) {
        }
        return finish();
    }

    FrontEndResult fail(std::string displayName, const std::string& message) {
        files_.addVirtual(std::move(displayName), {});
        diagnostics_.error(SourcePos{0, 1, 1}, message);
        return finish();
    }

private:
    void load(uint32_t file, int depth) {
        std::vector<Token> tokens = tokenize(files_[file].bytes, file, diagnostics_);
        Block top = Parser(std::move(tokens), diagnostics_).parseFile();
        for (auto& stmt : top) {
            if (auto* include = std::get_if<IncludeStmt>(&stmt->node)) {
                includeFile(*include, stmt->pos, file, depth);
            } else if (auto* function = std::get_if<FunctionStmt>(&stmt->node)) {
                collector_.function(*function->decl);
                result_.program.functions.push_back(std::move(function->decl));
            } else if (auto* type = std::get_if<TypeStmt>(&stmt->node)) {
                collector_.type(*type->decl);
                result_.program.types.push_back(std::move(type->decl));
            } else {
                collector_.statement(*stmt);
                result_.program.main.push_back(std::move(stmt));
            }
        }
    }

    void includeFile(const IncludeStmt& include, SourcePos pos, uint32_t from, int depth) {
        const std::filesystem::path path = paths_[from].parent_path() / include.path;
        if (files_.find(canonicalOf(path)) >= 0) return;  // included already
        if (depth + 1 > kMaxIncludeDepth) {
            diagnostics_.error(pos, "includes are nested too deeply (more than " +
                                        std::to_string(kMaxIncludeDepth) + " files)");
            return;
        }
        std::string bytes;
        if (include.path.empty() || !readFileBytes(path, bytes)) {
            diagnostics_.error(pos, "cannot read the included file '" + include.path + "'");
            return;
        }
        const uint32_t file = files_.addVirtual(path.lexically_normal().string(), std::move(bytes),
                                                canonicalOf(path));
        paths_.push_back(path);
        load(file, depth + 1);
    }

    FrontEndResult finish() {
        std::vector<Diagnostic> list = diagnostics_.take();
        std::stable_sort(list.begin(), list.end(), [](const Diagnostic& a, const Diagnostic& b) {
            // The note that ends a run with too many errors stays last.
            if (a.severity != b.severity) return b.severity == Diagnostic::Severity::Note;
            if (a.pos.file != b.pos.file) return a.pos.file < b.pos.file;
            if (a.pos.line != b.pos.line) return a.pos.line < b.pos.line;
            return a.pos.column < b.pos.column;
        });
        result_.diagnostics = std::move(list);
        result_.files = files_.displayNames();
        return std::move(result_);
    }

    SourceFiles files_;
    std::vector<std::filesystem::path> paths_;  // by file index, as the includes name them
    Diagnostics diagnostics_;
    FrontEndResult result_;
    DeclarationCollector collector_;
};

}  // namespace

bool FrontEndResult::ok() const {
    return std::none_of(diagnostics.begin(), diagnostics.end(), [](const Diagnostic& d) {
        return d.severity == Diagnostic::Severity::Error;
    });
}

std::string FrontEndResult::diagnosticsText() const {
    std::string text;
    for (const auto& diagnostic : diagnostics) text += formatDiagnostic(diagnostic, files) + "\n";
    return text;
}

FrontEndResult parseProgram(const std::filesystem::path& mainFile) {
    std::string bytes;
    if (!readFileBytes(mainFile, bytes)) {
        return Loader().fail(mainFile.string(), "cannot read the file");
    }
    return Loader().run(mainFile.string(), std::move(bytes), mainFile);
}

FrontEndResult parseSource(std::string_view source, std::string_view fileName) {
    return Loader().run(std::string(fileName), std::string(source),
                        std::filesystem::path(fileName));
}

}  // namespace tx::txc
