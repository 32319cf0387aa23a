#include "timer_set.h"

#include <exception>

namespace tx {

HostTimer* TimerSet::create(int32_t hertz) {
    try {
        auto timer = std::make_unique<HostTimer>(*this, hertz);
        HostTimer* created = timer.get();
        timers_.emplace(created, std::move(timer));
        return created;
    } catch (const std::exception&) {  // no memory
        return nullptr;
    }
}

void TimerSet::free(HostTimer* timer) {
    timers_.erase(timer);
}

void TimerSet::interruptWaits() {
    {
        std::lock_guard lock(mutex_);
        interrupting_ = true;
    }
    interrupted_.notify_all();
}

bool TimerSet::sleepUntil(HostTimer::Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return !interrupted_.wait_until(lock, deadline, [this] { return interrupting_; });
}

}  // namespace tx
