// The host runtime of a run: the window's event pump, the display, the periodic timers, the
// system services and the debugger relay over one platform backend. One instance per process.
// The commands reach the parts through it; the few calls most commands make are forwarded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "debugger.h"
#include "debugger_relay.h"
#include "display.h"
#include "event_pump.h"
#include "host_backend.h"
#include "system_services.h"
#include "timer_set.h"

namespace tx {

class HostRuntime {
public:
    // Window flag bit 0: the window stays above all other windows.
    static constexpr uint32_t kFlagTopmost = 1;

    // Opens the runtime on SDL: null when one is already open (a process runs one program at a
    // time) or the window cannot be created.
    static std::unique_ptr<HostRuntime> open(std::string_view commandLine, Debugger* debugger,
                                             uint32_t flags);
    // Opens the runtime on a backend of the caller's (the null backend in tests); null when
    // one is already open.
    static std::unique_ptr<HostRuntime> open(std::string_view commandLine, Debugger* debugger,
                                             HostBackend backend);

private:
    struct Key {
        explicit Key() = default;
    };

public:
    // Made by open only (Key is private): one instance per process.
    HostRuntime(Key, std::string_view commandLine, Debugger* debugger, HostBackend backend);
    // Closing: frees every remaining timer, then closes the display and the backend.
    ~HostRuntime();
    HostRuntime(const HostRuntime&) = delete;
    HostRuntime& operator=(const HostRuntime&) = delete;

    EventPump& pump() { return pump_; }
    Display& display() { return display_; }
    SystemServices& services() { return services_; }
    TimerSet& timers() { return timers_; }
    VideoDevice& video() { return *backend_.video; }
    JoystickDevices& joysticks() { return *backend_.joysticks; }
    // Where the window's keyboard and mouse go while the pump runs (null: nowhere).
    void setInputFeed(InputFeed* feed) { backend_.events->setInputFeed(feed); }

    // ---- Event loop: false means the program must end.
    bool idle() { return pump_.idle(); }
    bool service() { return pump_.service(); }
    // From the preemption clock's thread while guest code runs (see EventPump::gather).
    void gatherWindowEvents() { pump_.gather(); }
    // From any thread (see EventPump::mustEndNow).
    bool mustEndNow() const { return pump_.mustEndNow(); }
    bool delay(int32_t milliseconds) { return pump_.delay(milliseconds); }
    void stop() { pump_.stop(); }
    void asyncStop() { pump_.asyncStop(); }
    void asyncRun() { pump_.asyncRun(); }
    void asyncEnd() { pump_.asyncEnd(); }

    // ---- Debugger relay. debugInfo and debugError detach the debugger and end the program
    // when one is attached; without one they do nothing.
    bool hasDebugger() const { return debugger_.attached(); }
    void debugStmt(int32_t position, const char* file) { debugger_.stmt(position, file); }
    void debugEnter(uint32_t frame, uint32_t environment, uint32_t function) {
        debugger_.enter(frame, environment, function);
    }
    void debugLeave() { debugger_.leave(); }
    void debugLog(const char* message) { debugger_.log(message); }
    void debugInfo(const char* message);
    void debugError(const char* message);

    // ---- Services and timers
    const std::string& commandLine() const { return services_.commandLine(); }
    void setTitle(std::string_view title, std::string_view closePrompt) {
        services_.setTitle(title, closePrompt);
        pump_.noteClosePrompt(!closePrompt.empty());
    }
    bool execFile(std::string_view command) { return services_.execFile(command); }
    std::string systemProperty(std::string_view name) const {
        return services_.systemProperty(name);
    }
    HostTimer* createTimer(int32_t hertz) { return timers_.create(hertz); }
    void freeTimer(HostTimer* timer) { timers_.free(timer); }

private:
    // Gives the process's one instance back when everything else has closed.
    struct InstanceClaim {
        InstanceClaim() = default;
        InstanceClaim(const InstanceClaim&) = delete;
        InstanceClaim& operator=(const InstanceClaim&) = delete;
        ~InstanceClaim();
    };

    InstanceClaim claim_;
    // Before the parts, which all use it, and closed after them.
    HostBackend backend_;
    DebuggerRelay debugger_;
    SystemServices services_;
    Display display_;
    EventPump pump_;
    TimerSet timers_;
};

}  // namespace tx
