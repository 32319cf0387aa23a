// Keeps a crash of the CPU emulator from taking the process down.
//
// Some guest instruction forms make the emulator abort or fault inside its own code instead of
// raising an exception in the guest. While a thread is inside the emulator (and not in one of
// our hooks), a fatal signal there jumps back to the run that entered it; the run then ends in
// a fault and the emulator instance is abandoned. Signals raised anywhere else keep their
// previous handling, so a fault in our own code still ends the process as it should.
#pragma once

#include <csetjmp>
#include <csignal>

namespace tx {

class EngineCrashGuard {
public:
    // Installs the process-wide signal handlers (once) and marks the thread as inside the
    // emulator until destruction. Guards nest.
    EngineCrashGuard();
    ~EngineCrashGuard();
    EngineCrashGuard(const EngineCrashGuard&) = delete;
    EngineCrashGuard& operator=(const EngineCrashGuard&) = delete;

    // Where a crash returns to: the caller must `sigsetjmp(guard.landing(), 1)` right after
    // constructing the guard, in the same function that then enters the emulator.
    sigjmp_buf& landing() { return landing_; }

    // Marks the thread as running our own code (a hook) while it exists.
    class HostCode {
    public:
        HostCode();
        ~HostCode();
        HostCode(const HostCode&) = delete;
        HostCode& operator=(const HostCode&) = delete;

    private:
        bool wasInside_;
    };

private:
    static void onFatalSignal(int signal, siginfo_t* info, void* context);
    static void installHandlers();

    sigjmp_buf landing_;
    EngineCrashGuard* outer_;
    volatile bool inside_ = true;
};

}  // namespace tx
