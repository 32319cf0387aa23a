#include "timer_set.h"

#include <algorithm>
#include <exception>

namespace tx {

HostTimer* TimerSet::create(int32_t hertz) {
    try {
        timers_.push_back(std::make_unique<HostTimer>(hertz));
    } catch (const std::exception&) {  // no thread could be started, or no memory
        return nullptr;
    }
    return timers_.back().get();
}

void TimerSet::free(HostTimer* timer) {
    const auto found = std::find_if(timers_.begin(), timers_.end(),
                                    [timer](const auto& owned) { return owned.get() == timer; });
    if (found != timers_.end()) timers_.erase(found);
}

}  // namespace tx
