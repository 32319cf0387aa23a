// Runs guest programs in-process through the runtime interface, and records what they report.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "linker.h"
#include "recording_debugger.h"
#include "runtime_interface.h"

namespace tx::test {

struct GuestRun {
    LinkResult link;
    RunOutcome outcome = RunOutcome::Ended;
    RecordingDebugger debugger;
};

// The first runtime error the run reported, or "".
inline std::string firstError(const GuestRun& run) {
    return run.debugger.errors.empty() ? "" : run.debugger.errors.front();
}

// The path of a guest program's module image built from tests/guest/programs.
std::string guestImagePath(const std::string& program);

// Links the program's image into a fresh guest and executes it with a recording debugger.
GuestRun runGuest(const std::string& program, const std::string& arguments = "",
                  bool debug = false);

// The 1001 lines endless.c writes to TX_ENDLESS_FILE before it blocks, as they must be on disk
// after the end.
std::string endlessFileText();

// A bound, unlistened TCP socket: connections to its port are refused while it is open.
class PortHolder {
public:
    PortHolder();
    ~PortHolder() { release(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    int port() const { return port_; }
    // Frees the port for a guest to take.
    void release();

private:
    int fd_;
    int port_ = 0;
};

// Runs a command line through the shell; returns the exit status and what it wrote to stderr.
struct ProcessResult {
    int exitCode = -1;
    std::string standardError;
};
ProcessResult runProcess(const std::string& commandLine);

}  // namespace tx::test
