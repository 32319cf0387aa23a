// A Debugger that records every event it receives.
#pragma once

#include <string>
#include <vector>

#include "debugger.h"

namespace tx::test {

// Every event arrives on the program's thread (a debugger thread's requests are carried out
// there), so plain counters do.
struct RecordingDebugger : Debugger {
    void debugRun() override { ++runs; }
    void debugStop() override { ++stops; }
    void debugStmt(int32_t position, const char* file) override {
        events.push_back("stmt " + std::to_string(position) + " " + file);
    }
    void debugEnter(uint32_t frame, uint32_t environment, uint32_t function) override {
        events.push_back("enter " + std::to_string(frame) + " " + std::to_string(environment) +
                         " " + std::to_string(function));
    }
    void debugLeave() override { events.push_back("leave"); }
    void debugInfo(const char* message) override { infos.push_back(message); }
    void debugError(const char* message) override { errors.push_back(message); }
    void debugLog(const char* message) override { events.push_back(std::string("log ") + message); }

    int runs = 0;
    int stops = 0;
    std::vector<std::string> events;
    std::vector<std::string> infos;
    std::vector<std::string> errors;
};

}  // namespace tx::test
