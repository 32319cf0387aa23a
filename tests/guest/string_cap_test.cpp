// Concatenation stops at the string cap the string commands keep (256 MiB): the program ends
// with "Out of string memory" instead of growing a string to gigabytes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "guest_runner.h"

namespace tx {
namespace {

using test::env;
using test::runGuest;

TEST(GuestStringCap, ConcatenationEndsPastTheCap) {
    // The string appended to itself, and another string appended to it.
    for (const char* argument : {"", "append"}) {
        SCOPED_TRACE(argument);
        unsetenv("TX_CAP_DOUBLINGS");
        unsetenv("TX_CAP_SURVIVED");
        const auto run = runGuest("string_concat_cap", argument);
        EXPECT_EQ(run.outcome, RunOutcome::RuntimeError);
        EXPECT_EQ(test::firstError(run), "Out of string memory");
        // A string of exactly 256 MiB is built; one byte more is refused.
        EXPECT_EQ(env("TX_CAP_DOUBLINGS"), "28");
        EXPECT_EQ(env("TX_CAP_SURVIVED"), "<unset>");
    }
}

}  // namespace
}  // namespace tx
