// Compiler diagnostics as the error-table tests compare them: "line:column: message", one a line,
// notes marked; the file name is left out, as every table's sources are one file.
#pragma once

#include <gtest/gtest.h>

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

struct ErrorCase {
    std::string source;
    const char* messages;  // "line:column: message", one a line
};

// Checks each row against the diagnostics that diagnosticsOf(source) gives.
template <typename DiagnosticsOf>
void checkErrorTable(const std::vector<ErrorCase>& table, DiagnosticsOf diagnosticsOf) {
    for (const auto& row : table) {
        EXPECT_EQ(diagnosticLines(diagnosticsOf(row.source)), std::string(row.messages) + "\n")
            << row.source;
    }
}

}  // namespace tx::test
