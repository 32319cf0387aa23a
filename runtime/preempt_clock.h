// Keeps a running program in the runtime's hands: one thread for the process asks every armed
// guest for service every few milliseconds (its next command call pumps the window first); a
// guest whose code has run a whole period without calling a command is served from the clock's
// thread instead, with its own thread kept out of the host meanwhile; and when the program must
// end (a signal, a closed window, an end request) while guest code runs without calling
// commands, its CPU is interrupted so the run ends at once.
#pragma once

#include <chrono>

namespace tx {

class GuestMachine;

namespace preempt_clock {

// How often an armed guest is asked for service.
inline constexpr std::chrono::milliseconds kPeriod{15};

// Serves the guest while it exists (starting the clock's thread on first use).
class Armed {
public:
    explicit Armed(GuestMachine& machine);
    ~Armed();
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;

private:
    GuestMachine& machine_;
};

// While it exists, `serve` runs on the clock's thread for every armed guest that has run a
// whole period without calling a command (see GuestMachine::serveWhileInGuestCode), and
// `mustEnd` is asked after it every period, and at once when the end of the program is
// requested (end_request.h), whether the program must end now; true interrupts every armed
// guest. Both must be safe to call from that thread.
class Watch {
public:
    using MustEnd = bool (*)(void* context);
    using Serve = void (*)(void* context);
    Watch(MustEnd mustEnd, Serve serve, void* context);
    // Returns only when the callback is not running.
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
};

}  // namespace preempt_clock
}  // namespace tx
