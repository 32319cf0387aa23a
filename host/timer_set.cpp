#include "timer_set.h"

#include <algorithm>
#include <exception>

namespace tx {

HostTimer* TimerSet::create(int32_t hertz) {
    std::lock_guard lock(mutex_);
    try {
        timers_.push_back(std::make_unique<HostTimer>(hertz));
    } catch (const std::exception&) {  // no thread could be started, or no memory
        return nullptr;
    }
    if (interrupted_) timers_.back()->interrupt();
    return timers_.back().get();
}

void TimerSet::clear() {
    std::lock_guard lock(mutex_);
    timers_.clear();
}

void TimerSet::interruptWaits() {
    std::lock_guard lock(mutex_);
    interrupted_ = true;
    for (const auto& timer : timers_) timer->interrupt();
}

void TimerSet::free(HostTimer* timer) {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(timers_.begin(), timers_.end(),
                                    [timer](const auto& owned) { return owned.get() == timer; });
    if (found != timers_.end()) timers_.erase(found);
}

}  // namespace tx
