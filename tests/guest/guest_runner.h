// Runs guest programs in-process through the runtime interface, and records what they report.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "debugger.h"
#include "linker.h"
#include "runtime_interface.h"

namespace tx::test {

class RecordingDebugger final : public Debugger {
public:
    void debugRun() override { events.push_back("run"); }
    void debugStop() override { events.push_back("stop"); }
    void debugStmt(int32_t position, const char* file) override {
        events.push_back("stmt " + std::to_string(position) + " " + file);
    }
    void debugEnter(uint32_t, uint32_t, uint32_t) override { events.push_back("enter"); }
    void debugLeave() override { events.push_back("leave"); }
    void debugInfo(const char* message) override { infos.emplace_back(message); }
    void debugError(const char* message) override { errors.emplace_back(message); }
    void debugLog(const char* message) override { events.push_back(std::string("log ") + message); }

    std::vector<std::string> events, infos, errors;
};

struct GuestRun {
    LinkResult link;
    RunOutcome outcome = RunOutcome::Ended;
    RecordingDebugger debugger;
};

// Unsets every environment variable whose name starts with prefix: the reports of earlier runs.
void clearEnvironment(std::string_view prefix);

// The first runtime error the run reported, or "".
inline std::string firstError(const GuestRun& run) {
    return run.debugger.errors.empty() ? "" : run.debugger.errors.front();
}

// The path of a guest program's module image built from tests/guest/programs.
std::string guestImagePath(const std::string& program);

// Links the program's image into a fresh guest and executes it with a recording debugger.
GuestRun runGuest(const std::string& program, const std::string& arguments = "",
                  bool debug = false);

// The value of an environment variable, or "<unset>".
std::string env(const char* name);

// Runs a command line through the shell; returns the exit status and what it wrote to stderr.
struct ProcessResult {
    int exitCode = -1;
    std::string standardError;
};
ProcessResult runProcess(const std::string& commandLine);

}  // namespace tx::test
