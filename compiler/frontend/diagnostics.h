// Error messages of the front end: collected with their positions, capped, formatted as
// `file:line:column: message`.
#pragma once

#include <string>
#include <vector>

#include "source.h"

namespace tx::txc {

struct Diagnostic {
    enum class Severity { Error, Note };
    Severity severity = Severity::Error;
    SourcePos pos;
    std::string message;
};

// Thrown when the error cap is reached; the compilation stops where it is.
struct TooManyErrors {};

class Diagnostics {
public:
    static constexpr size_t kMaxErrors = 50;

    // Records an error; at the cap records a note and throws TooManyErrors.
    void error(SourcePos pos, std::string message);
    void note(SourcePos pos, std::string message);

    size_t errorCount() const { return errors_; }
    const std::vector<Diagnostic>& all() const { return list_; }
    std::vector<Diagnostic> take() { return std::move(list_); }

private:
    std::vector<Diagnostic> list_;
    size_t errors_ = 0;
};

std::string formatDiagnostic(const Diagnostic& diagnostic, const std::vector<std::string>& files);

}  // namespace tx::txc
