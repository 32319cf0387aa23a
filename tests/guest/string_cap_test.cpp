// Concatenation stops at the string cap the string commands keep: the program ends with
// "Out of string memory" instead of growing a string to gigabytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "guest_runner.h"

namespace tx {
namespace {

using test::env;
using test::runGuest;

TEST(GuestStringCap, DoublingEndsAtTheCap) {
    for (const char* argument : {"", "copy"}) {
        SCOPED_TRACE(argument);
        unsetenv("TX_CAP_LENGTH");
        unsetenv("TX_CAP_SURVIVED");
        const auto run = runGuest("string_concat_cap", argument);
        EXPECT_EQ(run.outcome, RunOutcome::RuntimeError);
        EXPECT_EQ(test::firstError(run), "Out of string memory");
        // 2^28 bytes is the longest string; the doubling past it is refused.
        EXPECT_EQ(env("TX_CAP_LENGTH"), std::to_string(1 << 28));
        EXPECT_EQ(env("TX_CAP_SURVIVED"), "<unset>");
    }
}

}  // namespace
}  // namespace tx
