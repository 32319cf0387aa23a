// The events a running program reports to whoever executes it.
#pragma once

#include <cstdint>

namespace tx {

class Debugger {
public:
    virtual ~Debugger() = default;
    virtual void debugRun() = 0;
    virtual void debugStop() = 0;
    virtual void debugStmt(int32_t position, const char* file) = 0;
    virtual void debugEnter(uint32_t frame, uint32_t environment, uint32_t function) = 0;
    virtual void debugLeave() = 0;
    virtual void debugInfo(const char* message) = 0;
    virtual void debugError(const char* message) = 0;
    virtual void debugLog(const char* message) = 0;
};

// A debugger that lets every event pass; one that wants only some derives from it.
class QuietDebugger : public Debugger {
public:
    void debugRun() override {}
    void debugStop() override {}
    void debugStmt(int32_t, const char*) override {}
    void debugEnter(uint32_t, uint32_t, uint32_t) override {}
    void debugLeave() override {}
    void debugInfo(const char*) override {}
    void debugError(const char*) override {}
    void debugLog(const char*) override {}
};

}  // namespace tx
