// A periodic timer: its period boundaries lie at fixed points of the steady clock from its
// creation; wait blocks until the next one. No thread counts them: the clock does.
#pragma once

#include <chrono>
#include <cstdint>

namespace tx {

class TimerSet;

class HostTimer {
public:
    using Clock = std::chrono::steady_clock;

    // Period is 1000 / hertz milliseconds (integer division). The rate is clamped to 1..1000 so
    // the period lies between 1 ms and 1 s. Periods count from now.
    HostTimer(TimerSet& owner, int32_t hertz);
    HostTimer(const HostTimer&) = delete;
    HostTimer& operator=(const HostTimer&) = delete;

    // Blocks until at least one period has elapsed since the previous wait, then returns how many
    // periods elapsed since then. Returns at once (with the periods so far, perhaps 0) once the
    // owner's waits are interrupted.
    int32_t wait();
    uint32_t periodMs() const { return periodMs_; }

private:
    // Whole periods from the start to the given time.
    int64_t periodsAt(Clock::time_point time) const { return (time - start_) / period_; }

    TimerSet& owner_;
    uint32_t periodMs_;
    Clock::duration period_;
    Clock::time_point start_;
    int64_t periodsSeen_ = 0;
};

}  // namespace tx
