#include "options.h"

#include <filesystem>
#include <system_error>

namespace tx::txc {
namespace {

ParsedToolOptions failure(std::string message) {
    return {std::nullopt, std::move(message)};
}

}  // namespace

ParsedToolOptions parseToolOptions(const std::vector<std::string>& arguments) {
    ToolOptions options;
    bool modeGiven = false;
    bool outputGiven = false;
    bool listingGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            if (arguments.size() != 1) return failure("--help takes nothing else");
            options.mode = ToolMode::Help;
            return {options, {}};
        }
        if (argument == "--run" || argument == "--exe") {
            if (modeGiven) return failure("only one of --run and --exe may be given");
            if (!options.source.empty()) return failure(argument + " must come before the source");
            options.mode = argument == "--run" ? ToolMode::Run : ToolMode::Executable;
            modeGiven = true;
        } else if (argument == "--debug") {
            options.debug = true;
        } else if (argument == "-o" || argument == "--listing") {
            const bool isOutput = argument == "-o";
            bool& given = isOutput ? outputGiven : listingGiven;
            if (given) return failure(argument + " given twice");
            if (i + 1 == arguments.size() || arguments[i + 1].empty())
                return failure(argument + " needs a file name");
            (isOutput ? options.output : options.listing) = arguments[++i];
            given = true;
        } else if (!argument.empty() && argument[0] == '-') {
            return failure("unknown option " + argument);
        } else if (options.source.empty()) {
            if (argument.empty()) return failure("the source file name is empty");
            options.source = argument;
            if (options.mode == ToolMode::Run) {
                options.programArguments.assign(arguments.begin() + static_cast<long>(i) + 1,
                                                arguments.end());
                break;
            }
        } else {
            return failure("more than one source file (" + options.source + ", " + argument + ")");
        }
    }
    if (options.source.empty()) return failure("no source file");
    if (options.mode == ToolMode::Run && outputGiven) return failure("--run writes no output file");

    if (!outputGiven && options.mode != ToolMode::Run) {
        std::filesystem::path output(options.source);
        output.replace_extension(options.mode == ToolMode::Image ? ".tmi" : "");
        options.output = output.string();
    }
    // Neither output may overwrite the program being compiled (by any name of it).
    for (const std::string* written : {&options.output, &options.listing}) {
        std::error_code ignored;
        if (!written->empty() && (*written == options.source ||
                                  std::filesystem::equivalent(*written, options.source, ignored)))
            return failure(*written + " is the source file itself");
    }
    return {options, {}};
}

}  // namespace tx::txc
