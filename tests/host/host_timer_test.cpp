// Periodic timers: counting elapsed periods, rates clamped to usable periods, ownership,
// interrupted waits.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "host_runtime.h"
#include "host_timer.h"
#include "timer_set.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

TEST(HostTimer, WaitReportsEveryPeriodThatPassedSinceTheLastWait) {
    TimerSet timers;
    HostTimer& timer = *timers.create(100);
    EXPECT_EQ(timer.periodMs(), 10u);
    std::this_thread::sleep_for(55ms);
    EXPECT_GE(timer.wait(), 4);
    // Right after a wait the next one blocks until at least one more period has passed.
    for (int i = 0; i < 3; ++i) {
        const auto before = std::chrono::steady_clock::now();
        EXPECT_GE(timer.wait(), 1);
        EXPECT_GT(std::chrono::steady_clock::now(), before);
    }
}

TEST(HostTimer, RatesWithoutAUsablePeriodAreClamped) {
    constexpr struct {
        int32_t hertz;
        uint32_t periodMs;
    } kRates[] = {{60, 16},   {1000, 1},      {5000, 1},         {1, 1000},     {0, 1000},
                  {-7, 1000}, {1'000'000, 1}, {INT32_MIN, 1000}, {INT32_MAX, 1}};
    TimerSet timers;
    for (const auto& rate : kRates) {
        EXPECT_EQ(timers.create(rate.hertz)->periodMs(), rate.periodMs) << rate.hertz;
    }
    EXPECT_GE(timers.create(1'000'000)->wait(), 1);
}

TEST(HostTimer, RuntimeFreesOnlyTimersItOwns) {
    auto runtime = HostRuntime::open("", nullptr, openNullBackend());
    ASSERT_NE(runtime, nullptr);
    HostTimer* timer = runtime->createTimer(200);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->periodMs(), 5u);
    EXPECT_GE(timer->wait(), 1);

    TimerSet others;
    HostTimer* foreign = others.create(200);
    runtime->freeTimer(foreign);  // not the runtime's: left alone
    runtime->freeTimer(nullptr);
    EXPECT_GE(foreign->wait(), 1);

    runtime->freeTimer(timer);
    runtime->freeTimer(timer);  // already freed: nothing happens
    EXPECT_EQ(runtime->timers().size(), 0u);
}

// The program is ending: a wait under way and every later one return at once, with no period.
TEST(HostTimer, InterruptedWaitsReturnAtOnceNowAndLater) {
    TimerSet timers;
    HostTimer* slow = timers.create(1);
    ASSERT_NE(slow, nullptr);
    std::thread ender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        timers.interruptWaits();
    });
    EXPECT_EQ(slow->wait(), 0);
    ender.join();
    EXPECT_EQ(slow->wait(), 0);
    HostTimer* later = timers.create(1);
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later->wait(), 0);
}

}  // namespace
}  // namespace tx
