#include "preempt_clock.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "end_request.h"
#include "guest_machine.h"
#include "unique_fd.h"

namespace tx::preempt_clock {
namespace {

class Clock {
public:
    static Clock& instance() {
        static Clock clock;
        return clock;
    }

    void arm(GuestMachine* machine) {
        std::lock_guard lock(mutex_);
        if (machines_.empty()) nextTick_ = Steady::now() + kPeriod;
        machines_.push_back(machine);
        startLocked();
        wake();
    }

    void disarm(GuestMachine* machine) {
        std::lock_guard lock(mutex_);
        machines_.erase(std::find(machines_.begin(), machines_.end(), machine));
    }

    void watch(Watch::MustEnd mustEnd, Watch::Serve serve, void* context) {
        std::lock_guard lock(mutex_);
        mustEnd_ = mustEnd;
        serve_ = serve;
        context_ = context;
        endSeen_ = false;
        startLocked();
        wake();
    }

    void unwatch() {
        std::lock_guard lock(mutex_);
        mustEnd_ = nullptr;
        serve_ = nullptr;
        context_ = nullptr;
    }

private:
    using Steady = std::chrono::steady_clock;

    Clock() = default;
    ~Clock() {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
            wake();
        }
        if (thread_.joinable()) thread_.join();
    }

    void startLocked() {
        if (thread_.joinable()) return;
        wakeFd_ = UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
        thread_ = std::thread([this] { loop(); });
    }

    void wake() {
        const uint64_t one = 1;
        if (wakeFd_.valid()) [[maybe_unused]]
            const ssize_t written = ::write(wakeFd_.get(), &one, 8);
    }

    // Milliseconds to the next tick, or -1 when nothing needs ticks.
    int timeoutLocked() const {
        if (machines_.empty() && mustEnd_ == nullptr) return -1;
        if (machines_.empty()) return static_cast<int>(kPeriod.count());
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(nextTick_ - Steady::now());
        return static_cast<int>(std::max<int64_t>(left.count(), 0));
    }

    void loop() {
        for (;;) {
            int timeout = -1;
            bool watchEnd = false;
            {
                std::lock_guard lock(mutex_);
                if (quit_) return;
                if (!end_request::raised()) endSeen_ = false;
                timeout = timeoutLocked();
                // Once seen, a raised request keeps its descriptor readable: it is no longer
                // polled, and the watch is asked on the period again.
                watchEnd = !endSeen_;
            }
            pollfd fds[2] = {{wakeFd_.get(), POLLIN, 0}, {end_request::waitFd(), POLLIN, 0}};
            const nfds_t count = watchEnd && fds[1].fd >= 0 ? 2 : 1;
            if (::poll(fds, count, timeout) > 0 && (fds[0].revents & POLLIN) != 0) {
                uint64_t drained = 0;
                [[maybe_unused]] const ssize_t got = ::read(wakeFd_.get(), &drained, 8);
            }
            std::lock_guard lock(mutex_);
            if (quit_) return;
            if (end_request::raised()) endSeen_ = true;
            const Steady::time_point now = Steady::now();
            if (!machines_.empty() && now >= nextTick_) {
                for (GuestMachine* machine : machines_) {
                    if (serve_ != nullptr) machine->serveWhileInGuestCode(serve_, context_);
                    machine->requestService();
                }
                nextTick_ += kPeriod;
                if (nextTick_ <= now) nextTick_ = now + kPeriod;  // late: no burst to catch up
            }
            if (mustEnd_ != nullptr && mustEnd_(context_))
                for (GuestMachine* machine : machines_) machine->interrupt();
        }
    }

    std::mutex mutex_;
    std::vector<GuestMachine*> machines_;
    Watch::MustEnd mustEnd_ = nullptr;
    Watch::Serve serve_ = nullptr;
    void* context_ = nullptr;
    Steady::time_point nextTick_{};
    bool endSeen_ = false;
    bool quit_ = false;
    UniqueFd wakeFd_;
    std::thread thread_;
};

}  // namespace

Armed::Armed(GuestMachine& machine) : machine_(machine) {
    Clock::instance().arm(&machine_);
}

Armed::~Armed() {
    Clock::instance().disarm(&machine_);
}

Watch::Watch(MustEnd mustEnd, Serve serve, void* context) {
    Clock::instance().watch(mustEnd, serve, context);
}

Watch::~Watch() {
    Clock::instance().unwatch();
}

}  // namespace tx::preempt_clock
