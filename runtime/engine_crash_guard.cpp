#include "engine_crash_guard.h"

#include <array>
#include <mutex>

namespace tx {
namespace {

constexpr std::array kFatalSignals = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// The innermost guard of this thread; none outside the emulator.
thread_local EngineCrashGuard* t_guard = nullptr;

// The handling each signal had before ours, restored for signals that are not the emulator's.
std::array<struct sigaction, kFatalSignals.size()> g_previous{};

struct sigaction* previousHandling(int signal) {
    for (size_t i = 0; i < kFatalSignals.size(); ++i)
        if (kFatalSignals[i] == signal) return &g_previous[i];
    return nullptr;
}

}  // namespace

void EngineCrashGuard::onFatalSignal(int signal, siginfo_t* info, void* context) {
    EngineCrashGuard* guard = t_guard;
    if (guard != nullptr && guard->inside_) {
        guard->inside_ = false;
        siglongjmp(guard->landing_, signal);
    }
    // Not the emulator's: hand the signal to whatever handled it before.
    struct sigaction* previous = previousHandling(signal);
    if (previous == nullptr) return;
    if ((previous->sa_flags & SA_SIGINFO) != 0) {
        previous->sa_sigaction(signal, info, context);
        return;
    }
    if (previous->sa_handler != SIG_DFL && previous->sa_handler != SIG_IGN) {
        previous->sa_handler(signal);
        return;
    }
    // Default action: reinstate it. A fault re-executes the instruction and ends the process;
    // a raised signal (abort, kill) is raised again.
    sigaction(signal, previous, nullptr);
    if (info == nullptr || info->si_code <= 0) raise(signal);
}

void EngineCrashGuard::installHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = &EngineCrashGuard::onFatalSignal;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < kFatalSignals.size(); ++i)
            sigaction(kFatalSignals[i], &action, &g_previous[i]);
    });
}

EngineCrashGuard::EngineCrashGuard() : outer_(t_guard) {
    installHandlers();
    t_guard = this;
}

EngineCrashGuard::~EngineCrashGuard() {
    t_guard = outer_;
}

EngineCrashGuard::HostCode::HostCode() : wasInside_(t_guard != nullptr && t_guard->inside_) {
    if (wasInside_) t_guard->inside_ = false;
}

EngineCrashGuard::HostCode::~HostCode() {
    if (wasInside_) t_guard->inside_ = true;
}

}  // namespace tx
