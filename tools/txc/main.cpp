// txc: compiles a Tervex Basic program into a module image, runs it at once (--run), or writes a
// self-contained game executable (--exe). `txc --help` describes the command line.
// Exit codes: 0 done; 1 compile errors or an output that cannot be written; 64 a usage error;
// with --run, the program's own exit code (as txrun and the game executable give it).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "compile.h"
#include "game_executable.h"
#include "image_file.h"
#include "options.h"
#include "program_entry.h"

namespace {

namespace fs = std::filesystem;
using tx::txc::ToolMode;
using tx::txc::ToolOptions;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 64;

// Writes bytes to path; on failure removes what was written and says why.
std::string writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) return {};
    const std::string reason = std::strerror(errno);
    file.close();
    std::error_code ignored;
    fs::remove(path, ignored);
    return "cannot write " + path + ": " + reason;
}

// The runtime executable a game is made from: $TERVEX_RUNTIME, else `tervex` beside txc.
std::string runtimeExecutable(std::string& error) {
    if (const char* given = std::getenv("TERVEX_RUNTIME"); given != nullptr && *given != '\0') {
        if (::access(given, X_OK) != 0) error = std::string("TERVEX_RUNTIME names ") + given;
        return given;
    }
    std::error_code failed;
    const fs::path self = fs::read_symlink("/proc/self/exe", failed);
    const fs::path runtime = self.parent_path() / "tervex";
    if (failed || ::access(runtime.c_str(), X_OK) != 0)
        error = "the runtime executable " + (failed ? std::string("tervex") : runtime.string());
    if (!error.empty())
        error += ", which is not an executable file (set TERVEX_RUNTIME to the runtime `tervex`)";
    return runtime.string();
}

int fail(const std::string& message) {
    std::fprintf(stderr, "txc: %s\n", message.c_str());
    return kExitFailed;
}

int compileAndDeliver(const ToolOptions& options) {
    std::string runtime;
    if (options.mode == ToolMode::Executable) {
        std::string error;
        runtime = runtimeExecutable(error);
        if (!error.empty()) return fail(error);
    }

    const tx::txc::CommandCatalog commands = tx::txc::CommandCatalog::fromRuntime();
    const tx::txc::CompileResult result =
        tx::txc::compileFile(options.source, commands, {.debug = options.debug});
    if (const std::string text = result.diagnosticsText(); !text.empty()) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
    }
    if (!result.ok()) return kExitFailed;

    if (!options.listing.empty()) {
        if (std::string error = writeFile(options.listing, result.code->listingText());
            !error.empty())
            return fail(error);
    }
    const std::vector<uint8_t> image = result.imageBytes();
    if (image.size() > tx::kMaxImageFileBytes)
        return fail("the program's image of " + std::to_string(image.size()) +
                    " bytes is larger than the runtime accepts");

    switch (options.mode) {
        case ToolMode::Image: {
            const std::string error = writeFile(
                options.output,
                std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
            return error.empty() ? 0 : fail(error);
        }
        case ToolMode::Executable: {
            const std::string error = tx::writeGameExecutable(runtime, image, options.output);
            return error.empty() ? 0 : fail(error);
        }
        case ToolMode::Run: {
            // The source file stands in for the program's name, as the image file does for txrun.
            std::vector<const char*> argv{options.source.c_str()};
            for (const std::string& argument : options.programArguments)
                argv.push_back(argument.c_str());
            const std::string commandLine =
                tx::joinCommandLine(static_cast<int>(argv.size()), argv.data());
            const char* debugVariable = std::getenv("TERVEX_DEBUG");
            const bool runtimeChecks =
                options.debug || (debugVariable != nullptr && std::strcmp(debugVariable, "1") == 0);
            return tx::processEntry(image, commandLine, runtimeChecks);
        }
        case ToolMode::Help:
            break;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const tx::txc::ParsedToolOptions parsed = tx::txc::parseToolOptions(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "txc: %s\n%s(txc --help says more)\n", parsed.error.c_str(),
                     tx::txc::kToolUsage);
        return kExitUsage;
    }
    if (parsed.options->mode == ToolMode::Help) {
        std::fputs(tx::txc::kToolUsage, stdout);
        std::fputs(tx::txc::kToolHelp, stdout);
        return std::fflush(stdout) == 0 ? 0 : kExitFailed;
    }
    return compileAndDeliver(*parsed.options);
}
