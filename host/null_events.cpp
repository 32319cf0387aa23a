#include "null_events.h"

#include <chrono>

namespace tx {

std::optional<HostEvent> NullEvents::poll() {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return std::nullopt;
    const HostEvent event = queue_.front();
    queue_.pop_front();
    return event;
}

std::optional<HostEvent> NullEvents::wait(int32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return !queue_.empty(); }))
        return std::nullopt;
    const HostEvent event = queue_.front();
    queue_.pop_front();
    return event;
}

bool NullEvents::closeWaiting() {
    std::lock_guard lock(mutex_);
    for (const HostEvent event : queue_)
        if (event == HostEvent::close || event == HostEvent::windowLost) return true;
    return false;
}

void NullEvents::post(HostEvent event) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(event);
    }
    arrived_.notify_one();
}

}  // namespace tx
