// Compiles Tervex Basic programs in-process and runs them through the runtime with a recording
// debugger. A program states what it must do in comments of its own:
//   ;> text        the next DebugLog line (";>" alone: an empty line)
//   ;! message     the runtime error that ends it; written on the line of the statement that
//                  raises it, which a debug build names before the message ("file:line: ")
//   ;stats s/o/u   the counts of every RuntimeStats report, in order, space-separated
//                  (live strings / active objects / unreleased objects)
//   ;debug         compile with checks and run with the debug flag
// An expectation comment may follow code on the same line.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "compile.h"
#include "guest_machine.h"
#include "linker.h"
#include "recording_debugger.h"
#include "runtime_interface.h"
#include "runtime_stats.h"
#include "test_files.h"

namespace tx::test {

struct Expectations {
    std::string log;  // the DebugLog lines, each ended by a newline
    std::string error;
    int errorLine = 0;
    std::optional<std::string> stats;
    bool debug = false;
};

struct ProgramRun {
    std::string diagnostics;  // empty when the program compiled
    LinkResult link;
    RunOutcome outcome = RunOutcome::Ended;
    std::string log;  // the DebugLog lines, each ended by a newline
    std::vector<std::string> errors;
    std::string stats;  // the RuntimeStats counts, as in ;stats
};

inline Expectations readExpectations(const std::string& source) {
    Expectations expected;
    std::istringstream lines(source);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // The comment: from the first ';' outside a string literal.
        size_t at = 0;
        for (bool inString = false; at < line.size() && (inString || line[at] != ';'); ++at)
            if (line[at] == '"') inString = !inString;
        const std::string_view comment = std::string_view(line).substr(at);
        const auto rest = [&](size_t prefix) {
            std::string_view text = comment.substr(prefix);
            if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
            return std::string(text);
        };
        if (comment.starts_with(";>")) expected.log += rest(2) + "\n";
        if (comment.starts_with(";!")) {
            expected.error = rest(2);
            expected.errorLine = number;
        }
        if (comment.starts_with(";stats")) expected.stats = rest(6);
        if (comment.starts_with(";debug")) expected.debug = true;
    }
    return expected;
}

inline const txc::CommandCatalog& runtimeCommands() {
    static const txc::CommandCatalog catalog = txc::CommandCatalog::fromRuntime();
    return catalog;
}

// Links a module image into a fresh guest and executes it, recording its DebugLog lines, its
// runtime errors and what RuntimeStats wrote.
inline ProgramRun runImage(const std::vector<uint8_t>& image, bool debug) {
    ProgramRun run;
    GuestMachine machine;
    RuntimeInterface& runtime = runtimeGetRuntime();
    run.link = link(runtime, image, machine);
    if (run.link.status != LinkResult::Status::Linked) return run;
    RecordingDebugger debugger;
    testing::internal::CaptureStderr();
    run.outcome = runtime.execute(ProgramEntry{&machine, run.link.entry}, "", &debugger, debug, 0);
    run.stats = statsCounts(testing::internal::GetCapturedStderr());
    for (const std::string& event : debugger.events)
        if (event.starts_with("log ")) run.log += event.substr(4) + "\n";
    run.errors = debugger.errors;
    return run;
}

inline ProgramRun compileAndRun(const std::filesystem::path& file, bool debug) {
    const txc::CompileResult compiled =
        txc::compileFile(file, runtimeCommands(), txc::CompileOptions{.debug = debug});
    if (compiled.ok()) return runImage(compiled.imageBytes(), debug);
    ProgramRun failed;
    failed.diagnostics = "not compiled:\n" + compiled.diagnosticsText();
    return failed;
}

// Compiles and runs the program, then checks it against the expectations in its comments.
// With inDebugBuild, the program is compiled with checks whatever its comments say.
inline void checkProgram(const std::filesystem::path& file, bool inDebugBuild) {
    Expectations expected = readExpectations(fileText(file.string()));
    ASSERT_FALSE(expected.log.empty() && expected.error.empty()) << "the program checks nothing";
    // A program that ends by itself must account for its strings and objects.
    ASSERT_TRUE(expected.stats || !expected.error.empty()) << "no ;stats line";
    expected.debug = expected.debug || inDebugBuild;
    const ProgramRun run = compileAndRun(file, expected.debug);
    ASSERT_EQ(run.diagnostics, "");
    ASSERT_EQ(run.link.status, LinkResult::Status::Linked) << run.link.message;
    EXPECT_EQ(run.log, expected.log);
    std::string error = expected.error;
    if (expected.debug && !error.empty())
        error = file.string() + ":" + std::to_string(expected.errorLine) + ": " + error;
    EXPECT_EQ(run.errors.empty() ? "" : run.errors.front(), error);
    EXPECT_LE(run.errors.size(), 1u);
    EXPECT_EQ(run.outcome, expected.error.empty() ? RunOutcome::Ended : RunOutcome::RuntimeError);
    if (expected.stats) {
        EXPECT_EQ(run.stats, *expected.stats);
    }
}

}  // namespace tx::test
