// The process entry shared by the game executable and txrun: link the image, split the command
// line, run the program with the standalone debugger, report how it ended.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "debug_log_output.h"
#include "debugger.h"

namespace tx {

// Exit codes of the process.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRuntimeError = 1;
inline constexpr int kExitMissingSymbol = 2;
inline constexpr int kExitStartupFailed = 3;
inline constexpr int kExitUnusableImage = 255;
// Plus the signal number (SIGINT 130, SIGTERM 143) when a signal ended the program.
inline constexpr int kExitSignalBase = 128;

// What follows the program name: leading spaces removed; a quoted name ends at the next quote
// (none: empty), an unquoted one at the first space (none: empty). Tabs are not separators.
std::string argumentText(std::string_view commandLine);

// Joins argv back into one command line: the program name quoted, arguments separated by one
// space, an argument containing spaces (or empty) quoted.
std::string joinCommandLine(int argc, const char* const* argv);

// Shows a runtime error to the user: always on standard error, and in an "Error!" box when a
// display is available. DebugLog lines go to the log output it is given. Everything else it is
// told is ignored.
class StandaloneDebugger final : public QuietDebugger {
public:
    explicit StandaloneDebugger(DebugLogOutput log = {}) : log_(std::move(log)) {}
    void debugError(const char* message) override;
    void debugLog(const char* message) override { log_.writeLine(message); }

private:
    DebugLogOutput log_;
};

// Tells the user that the module image cannot be run, as a failed link does; returns the exit
// code for it.
int reportUnusableImage();

// Links and runs a module image; returns the process exit code. SIGINT and SIGTERM end the
// program as a closed window does (modules destroyed, files flushed). DebugLog lines go where
// TERVEX_DEBUG and TERVEX_LOG say (DebugLogOutput::fromEnvironment).
int processEntry(std::span<const uint8_t> image, std::string_view commandLine, bool debug);

}  // namespace tx
