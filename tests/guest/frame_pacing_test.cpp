// Flip 1 without a display to sync to: a compiled program's 300 frames keep the display's
// refresh period on average, and the process sleeps between them instead of spinning.
#include <sys/resource.h>

#include <gtest/gtest.h>
#include <chrono>

#include "guest_runner.h"
#include "sdl_test_events.h"

namespace tx::test {
namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(FramePacing, VsyncFlipsKeepTheRefreshPeriodWithoutBusyWaiting) {
    const int refresh = displayRefreshRate();
    ASSERT_GT(refresh, 0);
    const double periodMs = 1000.0 / refresh;

    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    const GuestRun run = runGuest("graphics", "pacing");
    const double cpu = cpuSeconds() - cpuStart;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    ASSERT_EQ(run.debugger.events.size(), 1u);
    const double framesMs = std::stod(run.debugger.events[0].substr(4)) / 300;  // "log N"
    std::printf("refresh %d Hz: mean frame %.3f ms (period %.3f ms); CPU %.3f s over %.3f s\n",
                refresh, framesMs, periodMs, cpu, wall);
    EXPECT_NEAR(framesMs, periodMs, periodMs * 0.02);
    EXPECT_LT(cpu / wall, 0.5);
}

}  // namespace
}  // namespace tx::test
