// Data reads and the arithmetic helpers at the C++ level: the read pointer after each kind of
// failure, float-to-integer conversions at the edges, and the helpers' edge results.
#include "data_routines.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "arithmetic_routines.h"
#include "basic_state.h"
#include "in_program.h"
#include "string_pool.h"
#include "tx_error.h"

namespace tx {
namespace {

using test::runInProgram;

const char* errorOf(const auto& call) {
    try {
        call();
    } catch (const TxEx& ex) {
        return ex.message;
    }
    return "no error";
}

// A data table in guest memory: (tag, value) pairs.
GuestAddr table(GuestMachine& m, std::initializer_list<std::pair<uint32_t, uint32_t>> records) {
    const GuestAddr t = m.heap().allocate(8 * static_cast<uint32_t>(records.size()));
    uint32_t i = 0;
    for (const auto& [tag, value] : records) {
        m.memory().write<uint32_t>(t + 8 * i, tag);
        m.memory().write<uint32_t>(t + 8 * i + 4, value);
        ++i;
    }
    return t;
}

uint32_t bits(float f) {
    return std::bit_cast<uint32_t>(f);
}

TEST(DataRoutines, AFailedReadLeavesThePointerWhereItWas) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr t = table(m, {{1, 4}, {3, 0}, {4, 0x100}, {1, 9}, {0, 0}});
        txRestore(t);
        EXPECT_EQ(txReadInt(m), 4);
        EXPECT_STREQ(errorOf([&] { txReadInt(m); }), "Bad data type");
        EXPECT_EQ(basicState().dataPointer, t + 8);
        txRestore(t + 16);
        EXPECT_STREQ(errorOf([&] { txReadStr(m); }), "Illegal memory address")
            << "a string record pointing nowhere";
        EXPECT_EQ(basicState().dataPointer, t + 16);
        EXPECT_EQ(liveStrings(), 0);
        txRestore(t + 24);
        EXPECT_EQ(txReadFloat(m), 9.0f);
        EXPECT_STREQ(errorOf([&] { txReadFloat(m); }), "Out of data");
        EXPECT_STREQ(errorOf([&] { txReadStr(m); }), "Out of data");
        EXPECT_EQ(basicState().dataPointer, t + 32) << "still at the end record";
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(DataRoutines, TheEndRecordsValueIsNeverRead) {
    // The end tag in the last four bytes before unmapped memory.
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr end = layout::kHeapEnd - 4;
        m.memory().write<uint32_t>(end, 0);
        txRestore(end);
        EXPECT_STREQ(errorOf([&] { txReadInt(m); }), "Out of data");
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(DataRoutines, FloatsBecomeIntegersByTruncation) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const float inf = std::numeric_limits<float>::infinity();
        const GuestAddr t = table(m, {{2, bits(2.75f)},
                                      {2, bits(-2.75f)},
                                      {2, bits(-0.5f)},
                                      {2, bits(3e9f)},
                                      {2, bits(-inf)},
                                      {2, bits(std::nanf(""))},
                                      {2, bits(-2147483648.0f)}});
        txRestore(t);
        EXPECT_EQ(txReadInt(m), 2);
        EXPECT_EQ(txReadInt(m), -2);
        EXPECT_EQ(txReadInt(m), 0);
        // Out of range and not-a-number give the value the hardware conversion gives.
        EXPECT_EQ(txReadInt(m), INT32_MIN);
        EXPECT_EQ(txReadInt(m), INT32_MIN);
        EXPECT_EQ(txReadInt(m), INT32_MIN);
        EXPECT_EQ(txReadInt(m), INT32_MIN);
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(ArithmeticRoutines, IntegerHelpers) {
    EXPECT_EQ(txAbs(-5), 5);
    EXPECT_EQ(txAbs(0), 0);
    EXPECT_EQ(txAbs(INT32_MIN), INT32_MIN);
    EXPECT_EQ(txSgn(INT32_MIN), -1);
    EXPECT_EQ(txSgn(0), 0);
    EXPECT_EQ(txSgn(INT32_MAX), 1);
    EXPECT_EQ(txMod(7, -3), 1);
    EXPECT_EQ(txMod(-7, 3), -1);
    EXPECT_EQ(txMod(-7, -3), -1);
    EXPECT_EQ(txMod(INT32_MIN, 1), 0);
    EXPECT_EQ(txMod(INT32_MAX, -1), 0);
    EXPECT_EQ(txMod(INT32_MIN, INT32_MAX), -1);
    EXPECT_STREQ(errorOf([] { txMod(1, 0); }), "Integer divide by zero");
    EXPECT_STREQ(errorOf([] { txMod(INT32_MIN, 0); }), "Integer divide by zero");
    EXPECT_STREQ(errorOf([] { txMod(INT32_MIN, -1); }), "Unknown runtime exception");
}

TEST(ArithmeticRoutines, FloatHelpers) {
    const float nan = std::nanf("");
    EXPECT_EQ(txFAbs(-1.5f), 1.5f);
    EXPECT_TRUE(std::signbit(txFAbs(-0.0f))) << "-0 is not below 0: it stays as it is";
    EXPECT_EQ(txFSgn(0.001f), 1.0f);
    EXPECT_EQ(txFSgn(-1e-30f), -1.0f);
    EXPECT_EQ(bits(txFSgn(0.0f)), bits(0.0f));
    EXPECT_EQ(bits(txFSgn(-0.0f)), bits(0.0f));
    EXPECT_EQ(txFSgn(nan), -1.0f);
    EXPECT_EQ(txFMod(-7.0f, 3.0f), -1.0f);
    EXPECT_EQ(txFMod(7.0f, -3.0f), 1.0f);
    EXPECT_EQ(txFMod(5.5f, 2.0f), 1.5f);
    EXPECT_TRUE(std::isnan(txFMod(1.0f, 0.0f)));
    EXPECT_EQ(txFPow(2.0f, 10.0f), 1024.0f);
    EXPECT_EQ(txFPow(2.0f, -1.0f), 0.5f);
    EXPECT_EQ(txFPow(-2.0f, 3.0f), -8.0f);
    EXPECT_TRUE(std::isnan(txFPow(-8.0f, 0.5f)));
    EXPECT_TRUE(std::isinf(txFPow(10.0f, 100.0f)));
}

}  // namespace
}  // namespace tx
