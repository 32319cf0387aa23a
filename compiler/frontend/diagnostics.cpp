#include "diagnostics.h"

namespace tx::txc {

void Diagnostics::error(SourcePos pos, std::string message) {
    list_.push_back({Diagnostic::Severity::Error, pos, std::move(message)});
    if (++errors_ >= kMaxErrors) {
        note(pos, "too many errors; stopping here");
        throw TooManyErrors{};
    }
}

void Diagnostics::note(SourcePos pos, std::string message) {
    list_.push_back({Diagnostic::Severity::Note, pos, std::move(message)});
}

std::string formatDiagnostic(const Diagnostic& diagnostic, const std::vector<std::string>& files) {
    std::string text =
        diagnostic.pos.file < files.size() ? files[diagnostic.pos.file] : std::string("?");
    text += ':' + std::to_string(diagnostic.pos.line) + ':' + std::to_string(diagnostic.pos.column);
    text += diagnostic.severity == Diagnostic::Severity::Note ? ": note: " : ": ";
    text += diagnostic.message;
    return text;
}

}  // namespace tx::txc
