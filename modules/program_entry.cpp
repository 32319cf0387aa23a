#include "program_entry.h"

#include <cstdio>
#include <exception>

#include "end_request.h"
#include "guest_machine.h"
#include "linker.h"
#include "message_box.h"
#include "runtime_interface.h"

namespace tx {

std::string argumentText(std::string_view commandLine) {
    const size_t start = commandLine.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    commandLine.remove_prefix(start);
    const size_t end =
        commandLine.front() == '"' ? commandLine.find('"', 1) : commandLine.find(' ');
    if (end == std::string_view::npos) return {};
    return std::string(commandLine.substr(end + 1));
}

std::string joinCommandLine(int argc, const char* const* argv) {
    std::string line = "\"";
    line += argc > 0 && argv[0] != nullptr ? argv[0] : "tervex";
    line += '"';
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        line += ' ';
        if (arg.empty() || arg.find(' ') != std::string_view::npos) {
            line += '"';
            line += arg;
            line += '"';
        } else {
            line += arg;
        }
    }
    return line;
}

void StandaloneDebugger::debugError(const char* message) {
    std::fprintf(stderr, "Error! %s\n", message);
    std::fflush(stderr);
    showMessageBox("Error!", message, true);
}

namespace {

int linkFailure(const LinkResult& result) {
    std::fprintf(stderr, "%s\n", result.message.c_str());
    std::fflush(stderr);
    showMessageBox("", result.message.c_str(), true);
    return result.status == LinkResult::Status::MissingSymbol ? kExitMissingSymbol
                                                              : kExitUnusableImage;
}

}  // namespace

int reportUnusableImage() {
    return linkFailure({LinkResult::Status::UnusableImage, kUnusableImageMessage, 0});
}

int processEntry(std::span<const uint8_t> image, std::string_view commandLine, bool debug) {
    end_request::installSignalHandlers();
    RuntimeInterface& runtime = runtimeGetRuntime();
    runtime.startup(nullptr);
    std::unique_ptr<GuestMachine> machine;
    LinkResult linked;
    try {
        machine = std::make_unique<GuestMachine>();
        linked = link(runtime, image, *machine);
    } catch (const std::exception&) {
        linked = {LinkResult::Status::UnusableImage, kUnusableImageMessage, 0};
    }
    if (linked.status != LinkResult::Status::Linked) return linkFailure(linked);

    const std::string arguments = argumentText(commandLine);
    StandaloneDebugger debugger(DebugLogOutput::fromEnvironment());
    const RunOutcome outcome = runtime.execute(ProgramEntry{machine.get(), linked.entry},
                                               arguments.c_str(), &debugger, debug, 0);
    runtime.shutdown();
    // Ended by SIGINT or SIGTERM: the code a shell expects of a process the signal ended.
    if (const int signal = end_request::signalNumber(); signal != 0)
        return kExitSignalBase + signal;
    switch (outcome) {
        case RunOutcome::Ended:
            return kExitOk;
        case RunOutcome::RuntimeError:
            return kExitRuntimeError;
        case RunOutcome::StartupFailed:
        case RunOutcome::RuntimeUnavailable:
            return kExitStartupFailed;
    }
    return kExitOk;
}

}  // namespace tx
