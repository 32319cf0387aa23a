// An event source without a platform: a queue of our events that tests fill (posting from any
// thread, as a debugger does, or delivering window events such as a close).
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "event_source.h"

namespace tx {

class NullEvents final : public EventSource {
public:
    std::optional<HostEvent> poll() override;
    std::optional<HostEvent> wait(int32_t timeoutMs) override;
    void post(HostEvent event) override;
    bool closeWaiting() override;

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<HostEvent> queue_;
};

}  // namespace tx
