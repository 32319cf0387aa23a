// Compiler diagnostics as the error-table tests compare them: "line:column: message", one a line,
// notes marked; the file name is left out, as every table's sources are one file.
#pragma once

#include <string>
#include <vector>

#include "diagnostics.h"

namespace tx::test {

inline std::string diagnosticLines(const std::vector<txc::Diagnostic>& diagnostics) {
    std::string text;
    for (const auto& d : diagnostics) {
        text += std::to_string(d.pos.line) + ":" + std::to_string(d.pos.column) + ": " +
                (d.severity == txc::Diagnostic::Severity::Note ? "note: " : "") + d.message + "\n";
    }
    return text;
}

}  // namespace tx::test
