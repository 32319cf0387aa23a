#include "host_timer.h"

#include <algorithm>
#include <chrono>

namespace tx {

namespace {

// A rate of 0 or below would divide by zero and one above 1000 gives a period of 0 ms, which
// would spin; both are clamped to the nearest rate that has a usable period.
uint32_t periodFor(int32_t hertz) {
    const int32_t rate = std::clamp<int32_t>(hertz, 1, 1000);
    return static_cast<uint32_t>(1000 / rate);
}

}  // namespace

HostTimer::HostTimer(int32_t hertz) : periodMs_(periodFor(hertz)) {
    // Periods count from creation, not from whenever the thread gets to run.
    const auto start = std::chrono::steady_clock::now();
    thread_ = std::thread([this, start] { run(start); });
}

HostTimer::~HostTimer() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void HostTimer::run(std::chrono::steady_clock::time_point start) {
    using Clock = std::chrono::steady_clock;
    const Clock::duration period = std::chrono::milliseconds(periodMs_);
    // Deadlines are absolute period boundaries from the start, so lateness never accumulates.
    Clock::time_point next = start + period;
    std::unique_lock lock(mutex_);
    while (!wake_.wait_until(lock, next, [this] { return quit_; })) {
        // A thread that woke late (a loaded machine) counts every boundary it slept past.
        const Clock::duration late = Clock::now() - next;
        const auto periods = static_cast<uint32_t>(1 + late / period);
        next += period * periods;
        ticks_.fetch_add(periods, std::memory_order_relaxed);
        signalled_ = true;
        signal_.notify_one();
    }
}

int32_t HostTimer::wait() {
    std::unique_lock lock(mutex_);
    signal_.wait(lock, [this] { return signalled_ || interrupted_; });
    signalled_ = false;
    const uint32_t ticks = ticks_.load(std::memory_order_relaxed);
    const uint32_t periods = ticks - ticksSeen_;
    ticksSeen_ = ticks;
    return static_cast<int32_t>(periods);
}

void HostTimer::interrupt() {
    {
        std::lock_guard lock(mutex_);
        interrupted_ = true;
    }
    signal_.notify_all();
}

}  // namespace tx
