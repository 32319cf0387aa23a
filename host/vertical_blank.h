// The vertical blank of a display, modelled from its refresh rate and a monotonic clock: frames
// follow each other every 1/refresh seconds from an epoch; each frame scans its active lines and
// then spends a few more line times in the blank.
#pragma once

#include <chrono>
#include <cstdint>

namespace tx {

class VerticalBlank {
public:
    using Clock = std::chrono::steady_clock;

    VerticalBlank() : VerticalBlank(60, 480, Clock::now()) {}
    VerticalBlank(int32_t refreshHz, int32_t activeLines, Clock::time_point epoch);

    // The start of the first blank after `now` (or at it).
    Clock::time_point nextBlank(Clock::time_point now) const;
    // Sleeps until the start of the next blank.
    void waitForBlank() const;
    // The line being scanned at `now`, counted from 0 at the top; 0 while in the blank.
    int32_t scanLine(Clock::time_point now) const;
    bool inBlank(Clock::time_point now) const;

    Clock::duration framePeriod() const { return Clock::duration(periodNs_); }

private:
    int64_t phaseNs(Clock::time_point now) const;

    Clock::time_point epoch_;
    int64_t periodNs_;
    int64_t activeNs_;
    int32_t activeLines_;
};

}  // namespace tx
