#include "host_timer.h"

#include <algorithm>
#include <limits>

#include "timer_set.h"

namespace tx {

namespace {

// A rate of 0 or below would divide by zero and one above 1000 gives a period of 0 ms, which
// would spin; both are clamped to the nearest rate that has a usable period.
uint32_t periodFor(int32_t hertz) {
    const int32_t rate = std::clamp<int32_t>(hertz, 1, 1000);
    return static_cast<uint32_t>(1000 / rate);
}

}  // namespace

HostTimer::HostTimer(TimerSet& owner, int32_t hertz)
    : owner_(owner),
      periodMs_(periodFor(hertz)),
      period_(std::chrono::milliseconds(periodMs_)),
      start_(Clock::now()) {}

int32_t HostTimer::wait() {
    // The boundaries are absolute points from the start, so lateness never accumulates, and a
    // wait that comes late counts every boundary passed since the previous one.
    int64_t periods = periodsAt(Clock::now());
    while (periods <= periodsSeen_) {
        if (!owner_.sleepUntil(start_ + period_ * (periodsSeen_ + 1))) break;
        periods = periodsAt(Clock::now());
    }
    const int64_t elapsed = std::max<int64_t>(periods - periodsSeen_, 0);
    periodsSeen_ = std::max(periods, periodsSeen_);
    return static_cast<int32_t>(std::min<int64_t>(elapsed, std::numeric_limits<int32_t>::max()));
}

}  // namespace tx
