// Objects from real 32-bit code: life cycle counts, walks, for-each with deletion, free-slot
// blocks, handles and debugging text.
#include <gtest/gtest.h>

#include "language_test_support.h"

namespace tx {
namespace {

using test::env;
using test::runWithStats;

struct Counts {
    int strings, active, unreleased;
};

void expectCounts(const std::vector<test::Stats>& stats, size_t index, Counts expected) {
    ASSERT_LT(index, stats.size());
    EXPECT_EQ(stats[index].strings, expected.strings) << "checkpoint " << index + 1;
    EXPECT_EQ(stats[index].active, expected.active) << "checkpoint " << index + 1;
    EXPECT_EQ(stats[index].unreleased, expected.unreleased) << "checkpoint " << index + 1;
}

TEST(GuestObjects, LifeCycleCountsThroughNewStoreDeleteAndRelease) {
    const auto r = runWithStats("lang_objects");
    ASSERT_EQ(r.run.outcome, RunOutcome::Ended) << r.error();
    ASSERT_EQ(r.stats.size(), 10u);
    expectCounts(r.stats, 0, {0, 0, 0});
    expectCounts(r.stats, 1, {0, 1, 1});
    expectCounts(r.stats, 2, {0, 0, 0});  // New then Delete: both back
    expectCounts(r.stats, 3, {0, 0, 1});  // deleted, still held by a variable
    expectCounts(r.stats, 4, {0, 0, 0});  // the variable let go
    expectCounts(r.stats, 5, {0, 0, 1});  // Delete Each; one deleted object still held
    expectCounts(r.stats, 6, {0, 0, 0});
    expectCounts(r.stats, 7, {0, 0, 0});  // 513 objects made and deleted
    expectCounts(r.stats, 8, {2, 2, 2});
    expectCounts(r.stats, 9, {0, 1, 1});  // Delete released the string, the vector and the part

    EXPECT_EQ(env("TX_NEW_REFCOUNT"), "1");
    EXPECT_EQ(env("TX_NEW_FIELDS_FOLLOW_HEADER"), "1");
    EXPECT_EQ(env("TX_FREED_AT_FREE_TAIL"), "1");
    EXPECT_EQ(env("TX_STORED_REFCOUNT"), "2");
    EXPECT_EQ(env("TX_FIRST_AFTER_DELETE"), "1");
    EXPECT_EQ(env("TX_DELETED_EQUALS_NONE"), "0");
    EXPECT_EQ(env("TX_PART_REFCOUNT"), "2");
    EXPECT_EQ(env("TX_PART_REFCOUNT_AFTER"), "1");
    EXPECT_EQ(env("TX_VECTOR_MADE"), "1");
}

TEST(GuestObjects, WalksSkipDeletedObjectsAndReorderingMovesOneObject) {
    const auto r = runWithStats("lang_objects");
    ASSERT_EQ(r.run.outcome, RunOutcome::Ended) << r.error();
    EXPECT_EQ(env("TX_ORDER"), "123");
    EXPECT_EQ(env("TX_ORDER_BACKWARDS"), "321");
    EXPECT_EQ(env("TX_AFTER_INSBEFORE"), "312");
    EXPECT_EQ(env("TX_AFTER_INSAFTER"), "123");
    EXPECT_EQ(env("TX_AFTER_SELF_MOVES"), "123");
    EXPECT_EQ(env("TX_COMPARE"), "11");
    EXPECT_EQ(env("TX_SKIPS_DELETED"), "13");
    EXPECT_EQ(env("TX_NEXT_OF_DELETED"), "3");
    EXPECT_EQ(env("TX_PREV_OF_DELETED"), "1");
    EXPECT_EQ(env("TX_TWO_DELETED_EQUAL"), "0");
    EXPECT_EQ(env("TX_AFTER_DELETE_EACH"), "1");
}

TEST(GuestObjects, SlotsComeInBlocksOf512PerType) {
    const auto r = runWithStats("lang_objects");
    ASSERT_EQ(r.run.outcome, RunOutcome::Ended) << r.error();
    EXPECT_EQ(env("TX_FREE_AFTER_FIRST"), "511");
    EXPECT_EQ(env("TX_FREE_AFTER_512"), "0");
    EXPECT_EQ(env("TX_FIRST_BLOCK_CONTIGUOUS"), "1");
    EXPECT_EQ(env("TX_FREE_AFTER_513"), "511") << "the 513th object takes a second block";
    EXPECT_EQ(env("TX_FREE_AFTER_DELETE_EACH"), "1024");
}

TEST(GuestObjects, ForEachSurvivesDeletingTheCurrentObject) {
    const auto r = runWithStats("lang_foreach");
    ASSERT_EQ(r.run.outcome, RunOutcome::Ended) << r.error();
    EXPECT_EQ(env("TX_VISITED"), "12345");
    EXPECT_EQ(env("TX_LOOP_VARIABLE_AFTER"), "1");
    EXPECT_EQ(env("TX_LEFT"), "145");
    EXPECT_EQ(env("TX_EMPTY_LOOP"), "0");
    ASSERT_EQ(r.stats.size(), 3u);
    expectCounts(r.stats, 0, {0, 3, 4});  // 2 went free when the loop moved on; 3 is still held
    expectCounts(r.stats, 1, {0, 3, 3});
    expectCounts(r.stats, 2, {0, 0, 0});
}

TEST(GuestObjects, HandlesAreStableNumberedAndDieWithTheObject) {
    const auto r = runWithStats("lang_handles");
    ASSERT_EQ(r.run.outcome, RunOutcome::Ended) << r.error();
    EXPECT_EQ(env("TX_HANDLE_A"), "1");
    EXPECT_EQ(env("TX_HANDLE_A_AGAIN"), "1");
    EXPECT_EQ(env("TX_HANDLE_B"), "2");
    EXPECT_EQ(env("TX_HANDLE_NONE"), "0");
    EXPECT_EQ(env("TX_FROM_HANDLE_A"), "1");
    EXPECT_EQ(env("TX_FROM_HANDLE_WRONG_TYPE"), "1");
    EXPECT_EQ(env("TX_FROM_UNKNOWN_HANDLE"), "1");
    EXPECT_EQ(env("TX_FROM_HANDLE_AFTER_DELETE"), "1");
    EXPECT_EQ(env("TX_HANDLE_OF_DELETED"), "0");
    EXPECT_EQ(env("TX_HANDLE_NEW"), "4") << "handles are never reused";
    EXPECT_EQ(env("TX_OLD_HANDLE_STILL_DEAD"), "1");
}

TEST(GuestObjects, TextShowsFieldsWithCycleAndDepthGuards) {
    const auto r = runWithStats("lang_handles");
    ASSERT_EQ(r.run.outcome, RunOutcome::Ended) << r.error();
    EXPECT_EQ(env("TX_TEXT_SELF"), "[1,2.500000,[ROOT]]");
    EXPECT_EQ(env("TX_TEXT_NONE"), "[NULL]");
    EXPECT_EQ(env("TX_TEXT_PAIR"), "[7,0.000000,[8,0.000000,[ROOT]]]");
    EXPECT_EQ(env("TX_TEXT_CHAIN"), "[1,[2,[3,[4,[5,[6,[7,[8,....]]]]]]]]");
    EXPECT_EQ(env("TX_TEXT_CHAIN_TAIL"), "[7,[8,[9,[NULL]]]]");
    EXPECT_EQ(env("TX_TEXT_STRINGS"), "[\"abc\",\"\",???]");
    EXPECT_EQ(env("TX_TEXT_DELETED_LINK"), "[8,[NULL]]");
}

}  // namespace
}  // namespace tx
