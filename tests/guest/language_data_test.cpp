// Data statements, the arithmetic helpers, and the runtime errors of the language routines from
// real 32-bit code, including descriptors and lists that compiled code corrupted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "language_test_support.h"

namespace tx {
namespace {

using test::env;
using test::runWithStats;

TEST(GuestData, ReadsConvertEveryRecordTypeUntilOutOfData) {
    const auto r = runWithStats("lang_data");
    EXPECT_EQ(r.run.outcome, RunOutcome::RuntimeError);
    EXPECT_EQ(r.error(), "Out of data");
    EXPECT_EQ(r.run.debugger.errors.size(), 1u);
    EXPECT_EQ(env("TX_INT_AS_INT"), "5");
    EXPECT_EQ(env("TX_INT_AS_STR"), "5");
    EXPECT_EQ(env("TX_INT_AS_FLOAT"), "-7.");
    EXPECT_EQ(env("TX_FLOAT_AS_INT"), "2");
    EXPECT_EQ(env("TX_NEG_FLOAT_AS_INT"), "-2");
    EXPECT_EQ(env("TX_FLOAT_AS_STR"), "1.500000");
    EXPECT_EQ(env("TX_FLOAT_AS_FLOAT"), "0.250000");
    EXPECT_EQ(env("TX_STR_AS_INT"), "12");
    EXPECT_EQ(env("TX_STR_AS_STR"), "12abc");
    EXPECT_EQ(env("TX_STR_AS_FLOAT"), "-35.");
    EXPECT_EQ(env("TX_AFTER_RESTORE"), "2");
    EXPECT_EQ(env("TX_BEFORE_END"), "1");
    EXPECT_EQ(env("TX_AFTER_END"), "<unset>");
}

TEST(GuestArithmetic, HelpersGiveTheEdgeResults) {
    const auto r = runWithStats("lang_errors", "arithmetic");
    ASSERT_EQ(r.run.outcome, RunOutcome::Ended) << r.error();
    EXPECT_EQ(env("TX_MOD"), "90");  // 7 Mod -3 = 1, -7 Mod 3 = -1, 6 Mod 3 = 0
    EXPECT_EQ(env("TX_MOD_MINUS_ONE"), "0");
    EXPECT_EQ(env("TX_MOD_SMALLEST"), "-2");
    EXPECT_EQ(env("TX_ABS"), "5");
    EXPECT_EQ(env("TX_ABS_SMALLEST"), "-2147483648");
    EXPECT_EQ(env("TX_SGN"), "-99");  // -1 * 100 + 0 * 10 + 1
    EXPECT_EQ(env("TX_FMOD"), "-1.");
    EXPECT_EQ(env("TX_FMOD_NEG_DIVISOR"), "1.000000");
    EXPECT_EQ(env("TX_FMOD_ZERO"), "NAN");
    EXPECT_EQ(env("TX_FPOW"), "1024.000000");
    EXPECT_EQ(env("TX_FPOW_DOMAIN"), "NAN");
    EXPECT_EQ(env("TX_FABS"), "3.500000");
    EXPECT_EQ(env("TX_FSGN"), "-90.");
    EXPECT_EQ(env("TX_FSGN_NAN"), "-1.");
}

struct ErrorCase {
    const char* mode;
    const char* error;
};

// Each mode ends the program with exactly one runtime error, the statement after it never runs,
// and the host carries on.
TEST(GuestLanguageErrors, EveryFailureIsOneRuntimeError) {
    const ErrorCase cases[] = {
        {"mod-zero", "Integer divide by zero"},
        {"mod-overflow", "Unknown runtime exception"},
        {"array-bounds", "Array index out of bounds"},
        {"vector-bounds", "Tervex array index out of bounds"},
        {"null-object", "Object does not exist"},
        {"null-next", "Illegal memory address"},
        {"bad-data", "Bad data type"},
    };
    for (const ErrorCase& c : cases) {
        const auto r = runWithStats("lang_errors", c.mode);
        EXPECT_EQ(r.run.outcome, RunOutcome::RuntimeError) << c.mode;
        EXPECT_EQ(r.run.debugger.errors, std::vector<std::string>{c.error}) << c.mode;
        EXPECT_EQ(env("TX_SURVIVED"), "<unset>") << c.mode;
        EXPECT_EQ(env("TX_RESULT"), "<unset>") << c.mode;
    }
}

TEST(GuestLanguageErrors, CorruptDescriptorsAndListsEndTheProgram) {
    const ErrorCase cases[] = {
        {"looping-list", "Object list is corrupt"},
        {"looping-delete-each", "Object list is corrupt"},
        {"wild-link", "Illegal memory address"},
        {"wild-type", "Illegal memory address"},
        {"huge-field-count", "Out of memory"},
        {"bad-field-type", "Illegal memory address"},
        {"huge-array", "Out of memory"},
        {"wrapping-array", "Out of memory"},
        {"negative-array", "Array index out of bounds"},
        {"many-dimensions", "Out of memory"},
        {"huge-vector", "Out of memory"},
    };
    for (const ErrorCase& c : cases) {
        const auto r = runWithStats("lang_errors", c.mode);
        EXPECT_EQ(r.run.outcome, RunOutcome::RuntimeError) << c.mode;
        EXPECT_EQ(r.run.debugger.errors, std::vector<std::string>{c.error}) << c.mode;
        EXPECT_EQ(env("TX_SURVIVED"), "<unset>") << c.mode;
    }
}

}  // namespace
}  // namespace tx
