#include "vertical_blank.h"

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <type_traits>

namespace tx {
namespace {

// About one blank line for every twenty active ones, as on the displays of the era (a 480-line
// VGA mode has 525 lines in all).
int32_t blankLines(int32_t activeLines) {
    return std::max(1, activeLines / 20);
}

}  // namespace

VerticalBlank::VerticalBlank(int32_t refreshHz, int32_t activeLines, Clock::time_point epoch)
    : epoch_(epoch),
      periodNs_(1'000'000'000 / std::clamp(refreshHz, 1, 1000)),
      activeLines_(std::max(activeLines, 1)) {
    activeNs_ = periodNs_ * activeLines_ / (activeLines_ + blankLines(activeLines_));
}

int64_t VerticalBlank::phaseNs(Clock::time_point now) const {
    const int64_t sinceEpoch =
        std::chrono::duration_cast<std::chrono::nanoseconds>(now - epoch_).count();
    const int64_t phase = sinceEpoch % periodNs_;
    return phase < 0 ? phase + periodNs_ : phase;
}

VerticalBlank::Clock::time_point VerticalBlank::nextBlank(Clock::time_point now) const {
    const int64_t phase = phaseNs(now);
    const int64_t wait = phase <= activeNs_ ? activeNs_ - phase : periodNs_ - phase + activeNs_;
    return now + std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(wait));
}

// Sleeps to an absolute time on the monotonic clock (the steady clock's), so time spent before
// the sleep starts never adds up: frames keep the display's period on average, and a late frame
// waits for the next blank rather than catching up.
void VerticalBlank::waitForBlank() const {
    static_assert(std::is_same_v<Clock, std::chrono::steady_clock>);
    const int64_t target = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               nextBlank(Clock::now()).time_since_epoch())
                               .count();
    timespec at{};
    at.tv_sec = static_cast<time_t>(target / 1'000'000'000);
    at.tv_nsec = static_cast<long>(target % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

bool VerticalBlank::inBlank(Clock::time_point now) const {
    return phaseNs(now) >= activeNs_;
}

int32_t VerticalBlank::scanLine(Clock::time_point now) const {
    const int64_t phase = phaseNs(now);
    if (phase >= activeNs_) return 0;
    return static_cast<int32_t>(phase * activeLines_ / activeNs_);
}

}  // namespace tx
