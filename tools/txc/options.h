// The command line of txc: what to do with which source file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tx::txc {

enum class ToolMode {
    Image,       // write a module image
    Run,         // compile and run in this process
    Executable,  // write a self-contained game executable
    Help,
};

struct ToolOptions {
    ToolMode mode = ToolMode::Image;
    bool debug = false;
    std::string source;
    std::string output;   // the given one, or the default of the mode
    std::string listing;  // "" for none
    // --run: the program's own arguments, everything after the source.
    std::vector<std::string> programArguments;
};

struct ParsedToolOptions {
    std::optional<ToolOptions> options;
    std::string error;  // why the command line is unusable, when options is empty
};

// Options come before the source; with --run everything after the source is the program's,
// otherwise -o, --debug and --listing may follow it too. A source whose name starts with '-'
// is given as ./-name.
ParsedToolOptions parseToolOptions(const std::vector<std::string>& arguments);

// The command line forms, shown with every usage error.
inline constexpr const char* kToolUsage =
    "usage: txc [--debug] [--listing FILE] SOURCE [-o IMAGE]\n"
    "       txc --run [--debug] [--listing FILE] SOURCE [ARGS...]\n"
    "       txc --exe [--debug] [--listing FILE] SOURCE [-o GAME]\n";

// What --help adds to them.
inline constexpr const char* kToolHelp =
    "\n"
    "Compiles the Tervex Basic program SOURCE (and the files it includes).\n"
    "  (no mode)       write the module image IMAGE (default: SOURCE with the extension .tmi)\n"
    "  --run           run the program at once; ARGS are its command line, and txc exits\n"
    "                  with the program's exit code\n"
    "  --exe           write GAME, a copy of the runtime `tervex` (found next to txc, or\n"
    "                  given by the environment variable TERVEX_RUNTIME) that carries the\n"
    "                  program and runs it on its own (default: SOURCE without its extension)\n"
    "  --debug         compile array bounds checks, null object checks and statement hooks,\n"
    "                  so that a runtime error names the source line; with --run also the\n"
    "                  commands' validity checks (as TERVEX_DEBUG=1 does)\n"
    "  --listing FILE  write the generated code as an assembly listing to FILE\n"
    "  --help          show this text\n"
    "Errors are written as file:line:column: message; txc then exits with 1, and with 64 when\n"
    "its own command line is wrong.\n";

}  // namespace tx::txc
