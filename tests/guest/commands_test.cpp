// System commands and string routines called by real 32-bit guest code.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "guest_runner.h"

namespace tx {
namespace {

using test::env;
using test::runGuest;

TEST(GuestCommands, CommandLineIsTrimmedArgumentText) {
    const auto run = runGuest("command_line", "   -fast  ");
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_EQ(env("TX_ARGS"), "[-fast]");
    runGuest("command_line", "     ");
    EXPECT_EQ(env("TX_ARGS"), "[]");
    runGuest("command_line", "\ta b\t");
    EXPECT_EQ(env("TX_ARGS"), "[\ta b\t]") << "only spaces are trimmed";
}

TEST(GuestCommands, EnvironmentRoundTrips) {
    setenv("TX_IN", "hello", 1);
    unsetenv("TX_NEVER_SET_ANYWHERE");
    const auto run = runGuest("environment");
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_EQ(env("TX_OUT"), "hello!");
    EXPECT_EQ(env("TX_EMPTY"), "<unset>") << "an empty value removes the variable";
    EXPECT_EQ(env("TX_EMPTY_READ"), "[]");
    EXPECT_EQ(env("TX_UNSET_READ"), "[]");
}

TEST(GuestCommands, WaitTimerCountsThePeriodsThatPassed) {
    const auto run = runGuest("timer");
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_GE(std::atoi(env("TX_ELAPSED").c_str()), 55);
    EXPECT_GE(std::atoi(env("TX_PERIODS_AFTER_DELAY").c_str()), 4)
        << "a wait after a pause reports every period, not 1";
    EXPECT_GE(std::atoi(env("TX_PERIODS_NEXT").c_str()), 1);
    EXPECT_NE(env("TX_TIMER_HANDLE"), "0");
}

TEST(GuestCommands, ThousandsOfTimersAreCheapToCreateAndToLeave) {
    const auto start = std::chrono::steady_clock::now();
    const auto run = runGuest("timer", "many");  // ends with 1,500 timers still running
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(run.outcome, RunOutcome::Ended) << test::firstError(run);
    EXPECT_EQ(env("TX_MANY_CREATED"), "3000");
    EXPECT_EQ(env("TX_MANY_FIRST_WAIT"), "1");
    EXPECT_EQ(env("TX_MANY_FREED_WAIT"), "0");
    EXPECT_EQ(env("TX_MANY_KEPT_WAIT"), "1");
    // A loose bound (a thread per timer took minutes here); the real figure goes in bench/.
    EXPECT_LT(took, std::chrono::seconds(10));
}

TEST(GuestCommands, StringRoutinesFromCompiledCode) {
    const auto run = runGuest("strings");
    ASSERT_EQ(run.outcome, RunOutcome::Ended)
        << (run.debugger.errors.empty() ? "" : run.debugger.errors[0]);
    EXPECT_EQ(env("TX_FLOAT"), "5.000000");
    EXPECT_EQ(env("TX_THIRD"), "0.333333");
    EXPECT_EQ(env("TX_NEGATIVE"), "-1.5");
    EXPECT_EQ(env("TX_INT"), "-84");
    EXPECT_EQ(env("TX_COMPARE"), "-90");  // -1 * 100 + 1 * 10 + 0
    EXPECT_EQ(env("TX_LOADED"), "keptkept");
    EXPECT_EQ(env("TX_LAST_KEPT"), "512");
}

}  // namespace
}  // namespace tx
