// Dim arrays and vectors from real 32-bit code.
#include <gtest/gtest.h>

#include "language_test_support.h"

namespace tx {
namespace {

using test::env;
using test::runWithStats;

TEST(GuestArrays, DimensionsZeroesAndReleasesWhatTheCellsHeld) {
    const auto r = runWithStats("lang_arrays");
    ASSERT_EQ(r.run.outcome, RunOutcome::Ended) << r.error();

    EXPECT_EQ(env("TX_INTS_SCALE"), "11");
    EXPECT_EQ(env("TX_INTS_SUM_AFTER_REDIM"), "0") << "a re-Dim gives zeroed cells";
    EXPECT_EQ(env("TX_GRID_SCALES"), "4,20");
    EXPECT_EQ(env("TX_GRID_LAST"), "2.500000");
    EXPECT_EQ(env("TX_NEVER_DATA"), "1");
    EXPECT_EQ(env("TX_REF_COUNTS_AFTER_KIND4"), "22")
        << "arrays of object references leave the counts alone";
    EXPECT_EQ(env("TX_REF_COUNT_HELD"), "4");
    EXPECT_EQ(env("TX_REF_COUNT_AFTER_KIND5"), "2") << "owning arrays give their references back";
    EXPECT_EQ(env("TX_VEC_ZERO"), "1");

    ASSERT_EQ(r.stats.size(), 4u);
    EXPECT_EQ(r.stats[0].strings, 5);
    EXPECT_EQ(r.stats[0].stringLines.size(), 5u);
    EXPECT_EQ(r.stats[1].strings, 0) << "re-dimensioning a string array releases its strings";
    EXPECT_TRUE(r.stats[1].stringLines.empty());
    EXPECT_EQ(r.stats[2].strings, 2);
    EXPECT_EQ(r.stats[3].strings, 0) << "freeing a vector of strings releases them";
}

}  // namespace
}  // namespace tx
