// Passes the running program's events to the attached debugger, if any. A debugger thread may
// detach it (an asynchronous end) while the program's thread reports.
#pragma once

#include <atomic>
#include <cstdint>

#include "debugger.h"

namespace tx {

class DebuggerRelay {
public:
    explicit DebuggerRelay(Debugger* debugger) : debugger_(debugger) {}

    bool attached() const { return debugger_.load() != nullptr; }
    // Detaches the debugger and returns it (null when none was attached).
    Debugger* detach() { return debugger_.exchange(nullptr); }

    void run() {
        if (Debugger* debugger = debugger_.load()) debugger->debugRun();
    }
    void stop() {
        if (Debugger* debugger = debugger_.load()) debugger->debugStop();
    }
    void stmt(int32_t position, const char* file) {
        if (Debugger* debugger = debugger_.load()) debugger->debugStmt(position, file);
    }
    void enter(uint32_t frame, uint32_t environment, uint32_t function) {
        if (Debugger* debugger = debugger_.load())
            debugger->debugEnter(frame, environment, function);
    }
    void leave() {
        if (Debugger* debugger = debugger_.load()) debugger->debugLeave();
    }
    void log(const char* message) {
        if (Debugger* debugger = debugger_.load()) debugger->debugLog(message);
    }

private:
    std::atomic<Debugger*> debugger_;
};

}  // namespace tx
