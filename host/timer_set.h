// The periodic timers of a run, owned until freed or until the run's host closes.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "host_timer.h"

namespace tx {

class TimerSet {
public:
    // Null when no thread could be started (or no memory).
    HostTimer* create(int32_t hertz);
    // Frees a timer of this set; others are left alone.
    void free(HostTimer* timer);
    // Stops and frees every timer.
    void clear();
    // From any thread: every current and later wait on a timer of this set returns at once (the
    // program is ending).
    void interruptWaits();

private:
    std::mutex mutex_;  // the list against interruptWaits from another thread
    bool interrupted_ = false;
    std::vector<std::unique_ptr<HostTimer>> timers_;
};

}  // namespace tx
