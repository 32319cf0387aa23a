// The periodic timers of a run, owned until freed or until the run's host closes. The timers
// share no thread and cost nothing between waits, so a program may hold thousands.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "host_timer.h"

namespace tx {

class TimerSet {
public:
    // Null when there is no memory for one more.
    HostTimer* create(int32_t hertz);
    // Frees a timer of this set; others are left alone.
    void free(HostTimer* timer);
    // Frees every timer.
    void clear() { timers_.clear(); }
    std::size_t size() const { return timers_.size(); }

    // From any thread (not from a signal handler: it takes a lock): every current and later
    // wait of this set's timers returns at once.
    void interruptWaits();

    // Sleeps until the deadline; false when waits are interrupted (before or during the sleep).
    bool sleepUntil(HostTimer::Clock::time_point deadline);

private:
    std::unordered_map<const HostTimer*, std::unique_ptr<HostTimer>> timers_;
    std::mutex mutex_;
    std::condition_variable interrupted_;
    bool interrupting_ = false;
};

}  // namespace tx
