#include "host_runtime.h"

#include <atomic>
#include <utility>

namespace tx {
namespace {

std::atomic<bool> instanceOpen{false};

}  // namespace

std::unique_ptr<HostRuntime> HostRuntime::open(std::string_view commandLine, Debugger* debugger,
                                               uint32_t flags) {
    if (instanceOpen.exchange(true)) return nullptr;
    std::optional<HostBackend> backend = openSdlBackend((flags & kFlagTopmost) != 0);
    if (!backend) {
        instanceOpen.store(false);
        return nullptr;
    }
    return std::make_unique<HostRuntime>(Key(), commandLine, debugger, std::move(*backend));
}

std::unique_ptr<HostRuntime> HostRuntime::open(std::string_view commandLine, Debugger* debugger,
                                               HostBackend backend) {
    if (instanceOpen.exchange(true)) return nullptr;
    return std::make_unique<HostRuntime>(Key(), commandLine, debugger, std::move(backend));
}

HostRuntime::HostRuntime(Key, std::string_view commandLine, Debugger* debugger, HostBackend backend)
    : backend_(std::move(backend)),
      debugger_(debugger),
      services_(commandLine, *backend_.video),
      display_(*backend_.video, debugger_),
      pump_(*backend_.events, display_, debugger_, services_) {}

HostRuntime::~HostRuntime() {
    timers_.clear();
    display_.closeGraphics();
}

HostRuntime::InstanceClaim::~InstanceClaim() {
    instanceOpen.store(false);
}

void HostRuntime::debugInfo(const char* message) {
    Debugger* debugger = debugger_.detach();
    if (debugger == nullptr) return;
    pump_.endForReport();
    debugger->debugInfo(message);
}

void HostRuntime::debugError(const char* message) {
    // The player sees it in the window too, over the last picture, before any dialog.
    display_.showMessage("Error!", message);
    Debugger* debugger = debugger_.detach();
    if (debugger == nullptr) return;
    pump_.endForReport();
    debugger->debugError(message);
}

}  // namespace tx
