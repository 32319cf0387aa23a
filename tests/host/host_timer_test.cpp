// Periodic timers: rates clamped to usable periods, ownership, interrupted waits (counting
// periods is checked by the guest basic program).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "host_runtime.h"
#include "host_timer.h"
#include "timer_set.h"

namespace tx {
namespace {

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

    ASSERT_NE(runtime->createTimer(60), nullptr);  // left for the runtime's close to free
    runtime->freeTimer(timer);
    runtime->freeTimer(timer);  // already freed: nothing happens
    EXPECT_EQ(runtime->timers().size(), 1u);
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
