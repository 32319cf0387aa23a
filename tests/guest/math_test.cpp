// Math commands called by real 32-bit guest code: float arguments on the stack, results in ST(0).
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

#include "guest_runner.h"

namespace tx {
namespace {

using test::env;
using test::firstError;
using test::runGuest;

// The decimal text of a float's bit pattern, as the guest hands it back.
std::string bitsText(float value) {
    return std::to_string(std::bit_cast<int32_t>(value));
}

TEST(GuestMath, FunctionsGiveTheSinglePrecisionEdgeValues) {
    const auto run = runGuest("math_values");
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    EXPECT_EQ(env("TX_M_SIN180"), bitsText(-8.742278e-8f));
    EXPECT_EQ(env("TX_M_COS90"), bitsText(-4.371139e-8f));
    EXPECT_EQ(env("TX_M_TAN90"), bitsText(-22877332.0f));
    EXPECT_EQ(env("TX_M_SIN30_TWICE"), bitsText(1.0f));
    EXPECT_EQ(env("TX_M_ASIN1"), bitsText(90.0f));
    EXPECT_EQ(env("TX_M_ACOS0"), bitsText(90.0f));
    EXPECT_EQ(env("TX_M_ATAN1"), bitsText(45.0f));
    EXPECT_EQ(env("TX_M_ATAN2_Y1_X0"), bitsText(90.0f)) << "y comes first";
    EXPECT_EQ(env("TX_M_ATAN2_Y0_X1"), bitsText(0.0f));
    EXPECT_EQ(env("TX_M_ATAN2_Y0_XM1"), bitsText(180.0f));
    EXPECT_EQ(env("TX_M_SQR16"), bitsText(4.0f));
    EXPECT_EQ(env("TX_M_FLOOR"), bitsText(-1.0f));
    EXPECT_EQ(env("TX_M_CEIL"), bitsText(3.0f));
    EXPECT_EQ(env("TX_M_EXP1"), bitsText(2.71828175f));
    EXPECT_EQ(env("TX_M_LOG2"), bitsText(0.693147182f));
    EXPECT_EQ(env("TX_M_LOG10"), bitsText(3.0f));
    EXPECT_EQ(env("TX_M_LOG0"), bitsText(-std::numeric_limits<float>::infinity()));
    EXPECT_EQ(env("TX_M_SQR_TEXT"), "2.000000");
}

TEST(GuestMath, EveryRunStartsTheSameSequence) {
    std::string expected;
    for (float r : {0.35565948486328125f, 0.74787139892578125f, 0.31705474853515625f,
                    0.40476226806640625f, 0.58036041259765625f})
        expected += bitsText(r) + " ";
    for (int run = 0; run < 2; ++run) {
        const auto result = runGuest("math_random", "sequence");
        ASSERT_EQ(result.outcome, RunOutcome::Ended) << firstError(result);
        EXPECT_EQ(env("TX_R_SEQUENCE"), expected) << "run " << run;
    }
    ASSERT_EQ(runGuest("math_random", "rand").outcome, RunOutcome::Ended);
    EXPECT_EQ(env("TX_R_DIE"), "3");
    ASSERT_EQ(runGuest("math_random", "rnd").outcome, RunOutcome::Ended);
    EXPECT_EQ(env("TX_R_RND1"), bitsText(0.64434051513671875f));
}

TEST(GuestMath, SeedRndKeepsTheLowSixteenBits) {
    const auto run = runGuest("math_random", "seeds");
    ASSERT_EQ(run.outcome, RunOutcome::Ended) << firstError(run);
    EXPECT_EQ(env("TX_R_SEEDS"), "110") << "seeds 0, 1 and 65537 agree; 2 differs";
    EXPECT_EQ(env("TX_R_FACES"), std::to_string(0b1111110));
    EXPECT_EQ(env("TX_R_OUTSIDE"), "0");
    // SeedRnd(-1) gives state 65535; the next state is 48271 * 65535 mod (2^31 - 1), and
    // Rand(0, 65535) is exactly its low 16 bits.
    const uint32_t next = (48271u * 65535u) % 2147483647u;
    EXPECT_EQ(env("TX_R_AFTER_MINUS1"), std::to_string(next & 0xFFFF));
}

}  // namespace
}  // namespace tx
