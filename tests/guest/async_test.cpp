// Requests from another thread (a debugger's) while a guest program runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "guest_runner.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

// Repeats a request every 20 ms until the run is over, so it cannot arrive too early and be lost.
class Requester {
public:
    explicit Requester(void (RuntimeInterface::*request)())
        : thread_([this, request] {
              while (!done_) {
                  std::this_thread::sleep_for(20ms);
                  (runtimeGetRuntime().*request)();
              }
          }) {}
    ~Requester() {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

TEST(GuestAsync, AnEndRequestStopsAWaitTimerLoopQuietly) {
    test::GuestRun run;
    {
        Requester requester(&RuntimeInterface::asyncEnd);
        run = test::runGuest("wait_loop");
    }
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_TRUE(run.debugger.infos.empty()) << "the program did not return by itself";
    EXPECT_TRUE(run.debugger.errors.empty());
}

TEST(GuestAsync, StopSuspendsUntilARunRequest) {
    unsetenv("TX_RESUMED");
    test::GuestRun run;
    {
        Requester requester(&RuntimeInterface::asyncRun);
        run = test::runGuest("stop_resume");
    }
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_EQ(test::env("TX_RESUMED"), "yes");
    EXPECT_EQ(run.debugger.events, (std::vector<std::string>{"stop", "run"}));
}

}  // namespace
}  // namespace tx
