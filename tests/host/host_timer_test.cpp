// Periodic timers: counting elapsed periods, rates clamped to usable periods, ownership.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "host_runtime.h"
#include "host_timer.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

TEST(HostTimer, WaitReportsEveryPeriodThatPassedSinceTheLastWait) {
    HostTimer timer(100);
    EXPECT_EQ(timer.periodMs(), 10u);
    std::this_thread::sleep_for(55ms);
    EXPECT_GE(timer.wait(), 4);
    // Right after a wait the next one blocks until at least one more period has passed.
    EXPECT_GE(timer.wait(), 1);
    EXPECT_GE(timer.wait(), 1);
}

TEST(HostTimer, RuntimeFreesOnlyTimersItOwns) {
    auto runtime = HostRuntime::open("", nullptr, openNullBackend());
    ASSERT_NE(runtime, nullptr);
    HostTimer* timer = runtime->createTimer(200);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->periodMs(), 5u);
    EXPECT_GE(timer->wait(), 1);

    HostTimer foreign(200);
    runtime->freeTimer(&foreign);  // not the runtime's: left alone
    runtime->freeTimer(nullptr);
    EXPECT_GE(foreign.wait(), 1);

    runtime->freeTimer(timer);
    runtime->freeTimer(timer);  // already freed: nothing happens
}

}  // namespace
}  // namespace tx
