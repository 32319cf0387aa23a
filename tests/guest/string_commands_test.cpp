// String commands called by real 32-bit guest code, including their argument errors.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "guest_runner.h"

namespace tx {
namespace {

using test::env;
using test::firstError;
using test::runGuest;

std::string localText(const char* format, std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char buffer[64];
    return "[" + std::string(buffer, std::strftime(buffer, sizeof buffer, format, &local)) + "]";
}

TEST(GuestStringCommands, EveryCommandFromCompiledCode) {
    const std::time_t before = std::time(nullptr);
    const auto run = runGuest("strings_cmd_basic");
    const std::time_t after = std::time(nullptr);
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    EXPECT_EQ(env("TX_S_STRING"), "[ababab]");
    EXPECT_EQ(env("TX_S_STRING_NONE"), "[]");
    EXPECT_EQ(env("TX_S_LEFT"), "[he]");
    EXPECT_EQ(env("TX_S_RIGHT"), "[llo]");
    EXPECT_EQ(env("TX_S_REPLACE"), "[a and b and c]");
    EXPECT_EQ(env("TX_S_REPLACE_OVERLAP"), "[ba]");
    EXPECT_EQ(env("TX_S_INSTR"), "[34]");
    EXPECT_EQ(env("TX_S_MID"), "[ell]");
    EXPECT_EQ(env("TX_S_MID_DEFAULT"), "[ello]");
    EXPECT_EQ(env("TX_S_UPPER"), "[HELLO, WORLD 42]");
    EXPECT_EQ(env("TX_S_LOWER"), "[hello, world 42]");
    EXPECT_EQ(env("TX_S_TRIM"), "[a b]");
    EXPECT_EQ(env("TX_S_LSET"), "[abc  ]");
    EXPECT_EQ(env("TX_S_RSET"), "[  abc]");
    EXPECT_EQ(env("TX_S_CHR"), "[A]");
    EXPECT_EQ(env("TX_S_CHR0_LEN"), "[1]");
    EXPECT_EQ(env("TX_S_ASC"), "[254999]");  // 255 * 1000 + (-1)
    EXPECT_EQ(env("TX_S_LEN"), "[12]");
    EXPECT_EQ(env("TX_S_HEX"), "[000000FFFFFFFFFF]");
    EXPECT_EQ(env("TX_S_BIN"), "[00000000000000000000000000000101]");
    EXPECT_EQ(env("TX_S_CHAIN"), "[GAME ON]");
    EXPECT_EQ(env("TX_S_LOADED_LEFT"), "[pla]");
    EXPECT_EQ(env("TX_S_VARIABLE"), "[player]");

    const std::string date = env("TX_S_DATE"), time = env("TX_S_TIME");
    EXPECT_TRUE(date == localText("%d %b %Y", before) || date == localText("%d %b %Y", after))
        << date;
    const std::string first = localText("%H:%M:%S", before), last = localText("%H:%M:%S", after);
    EXPECT_EQ(time.size(), 10u) << time;
    // Between the readings taken around the run (unless midnight fell in between).
    EXPECT_TRUE((first <= time && time <= last) || last < first) << time;
}

TEST(GuestStringCommands, ArgumentErrorsEndTheProgram) {
    const struct {
        const char* which;
        const char* message;
    } cases[] = {
        {"1", "parameter must be positive"},       {"2", "parameter must be positive"},
        {"3", "parameter must be positive"},       {"4", "parameter must be positive"},
        {"5", "parameter must be greater than 0"}, {"6", "parameter must be greater than 0"},
    };
    for (const auto& c : cases) {
        unsetenv("TX_S_ERROR_AFTER");
        const auto run = runGuest("strings_cmd_errors", c.which);
        EXPECT_EQ(run.outcome, RunOutcome::RuntimeError) << "case " << c.which;
        ASSERT_EQ(run.debugger.errors.size(), 1u) << "case " << c.which;
        EXPECT_EQ(run.debugger.errors[0], c.message) << "case " << c.which;
        EXPECT_EQ(env("TX_S_ERROR_AFTER"), "<unset>") << "case " << c.which;
    }
    // A count of 0 is accepted.
    const auto fine = runGuest("strings_cmd_errors", "0");
    EXPECT_EQ(fine.outcome, RunOutcome::Ended) << firstError(fine);
    EXPECT_EQ(env("TX_S_ERROR_AFTER"), "reached:");
}

}  // namespace
}  // namespace tx
