// A periodic timer: a thread counts periods on a steady clock; wait blocks until the next one.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tx {

class HostTimer {
public:
    // Period is 1000 / hertz milliseconds (integer division). The rate is clamped to 1..1000 so
    // the period lies between 1 ms and 1 s. Throws std::system_error when no thread can start.
    explicit HostTimer(int32_t hertz);
    ~HostTimer();
    HostTimer(const HostTimer&) = delete;
    HostTimer& operator=(const HostTimer&) = delete;

    // Blocks until at least one period has elapsed since the previous wait, then returns how many
    // periods elapsed since then.
    int32_t wait();
    // From any thread: this and every later wait returns at once (0 when no period elapsed).
    void interrupt();
    uint32_t periodMs() const { return periodMs_; }

private:
    // The counting thread: sleeps until each period boundary and counts the periods passed.
    void run(std::chrono::steady_clock::time_point start);

    uint32_t periodMs_;
    std::atomic<uint32_t> ticks_{0};
    uint32_t ticksSeen_ = 0;
    std::mutex mutex_;
    std::condition_variable signal_;  // wakes wait
    std::condition_variable wake_;    // wakes the counting thread to quit
    bool signalled_ = false;
    bool quit_ = false;
    bool interrupted_ = false;
    std::thread thread_;
};

}  // namespace tx
