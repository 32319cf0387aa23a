// Periodic timers: rates clamped to usable periods, ownership, interrupted waits (counting
// periods is checked by the guest basic program); the modelled vertical blank.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "host_runtime.h"
#include "host_timer.h"
#include "timer_set.h"
#include "vertical_blank.h"

namespace tx {
namespace {

// Rates without a usable period are clamped; the runtime frees only timers it owns, once. When
// the program is ending, a wait under way and every later one return at once, with no period.
TEST(HostTimer, RatesAreClampedOwnTimersFreedAndWaitsInterrupted) {
    constexpr struct {
        int32_t hertz;
        uint32_t periodMs;
    } kRates[] = {{60, 16},   {1000, 1},      {5000, 1},         {1, 1000},     {0, 1000},
                  {-7, 1000}, {1'000'000, 1}, {INT32_MIN, 1000}, {INT32_MAX, 1}};
    TimerSet others;
    for (const auto& rate : kRates) {
        EXPECT_EQ(others.create(rate.hertz)->periodMs(), rate.periodMs) << rate.hertz;
    }
    HostTimer* foreign = others.create(1'000'000);
    EXPECT_GE(foreign->wait(), 1);

    auto runtime = HostRuntime::open("", nullptr, openNullBackend());
    ASSERT_NE(runtime, nullptr);
    HostTimer* timer = runtime->createTimer(200);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->periodMs(), 5u);
    EXPECT_GE(timer->wait(), 1);
    runtime->freeTimer(foreign);  // not the runtime's: left alone
    runtime->freeTimer(nullptr);
    EXPECT_GE(foreign->wait(), 1);
    ASSERT_NE(runtime->createTimer(60), nullptr);  // left for the runtime's close to free
    runtime->freeTimer(timer);
    runtime->freeTimer(timer);  // already freed: nothing happens
    EXPECT_EQ(runtime->timers().size(), 1u);

    HostTimer* slow = others.create(1);
    std::thread ender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        others.interruptWaits();
    });
    EXPECT_EQ(slow->wait(), 0);
    ender.join();
    EXPECT_EQ(slow->wait(), 0);
    EXPECT_EQ(others.create(1)->wait(), 0);
}

using Clock = VerticalBlank::Clock;

// 50 Hz, 400 active lines: 20 ms frames of 420 lines, the last 20 of them blank.
constexpr auto kFrame = std::chrono::microseconds(20000);
constexpr auto kActive = std::chrono::nanoseconds(20'000'000LL * 400 / 420);

TEST(VerticalBlank, TheBlankFollowsTheActiveLinesOfEveryFrame) {
    const Clock::time_point epoch{std::chrono::seconds(1000)};
    const VerticalBlank blank(50, 400, epoch);
    EXPECT_EQ(blank.framePeriod(), kFrame);
    EXPECT_EQ(blank.nextBlank(epoch), epoch + kActive);
    EXPECT_EQ(blank.nextBlank(epoch + std::chrono::milliseconds(5)), epoch + kActive);
    EXPECT_EQ(blank.nextBlank(epoch + kActive), epoch + kActive) << "at the start: no wait";
    // Inside a blank the wait is for the next one.
    EXPECT_EQ(blank.nextBlank(epoch + kActive + std::chrono::nanoseconds(1)),
              epoch + kFrame + kActive);
    EXPECT_EQ(blank.nextBlank(epoch + 7 * kFrame + std::chrono::milliseconds(1)),
              epoch + 7 * kFrame + kActive);
    // Times before the epoch follow the same frames.
    EXPECT_EQ(blank.nextBlank(epoch - kFrame + std::chrono::milliseconds(5)),
              epoch - kFrame + kActive);

    // Scan lines count the active part and are zero in the blank.
    EXPECT_EQ(blank.scanLine(epoch), 0);
    EXPECT_FALSE(blank.inBlank(epoch));
    EXPECT_EQ(blank.scanLine(epoch + std::chrono::milliseconds(10)),
              210);  // 10 ms of 400 lines in 19.05 ms
    EXPECT_EQ(blank.scanLine(epoch + kActive - std::chrono::nanoseconds(1)), 399);
    EXPECT_EQ(blank.scanLine(epoch + kActive), 0);
    EXPECT_TRUE(blank.inBlank(epoch + kActive));
    EXPECT_EQ(blank.scanLine(epoch + 3 * kFrame + std::chrono::milliseconds(5)), 105);
}

}  // namespace
}  // namespace tx
