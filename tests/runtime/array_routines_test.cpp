// Array and vector routines at the C++ level, inside a program run: the cells they release are
// only those of the block they allocated, whatever compiled code wrote into the descriptors.
#include "array_routines.h"

#include <gtest/gtest.h>

#include "basic_state.h"
#include "in_program.h"
#include "language_layout.h"
#include "string_pool.h"
#include "tx_error.h"

namespace tx {
namespace {

using test::runInProgram;
namespace arr = lang::array;

GuestAddr makeArray(GuestMachine& m, uint32_t kind, std::initializer_list<int32_t> bounds) {
    const GuestAddr a = m.heap().allocate(arr::kScales + 4 * static_cast<uint32_t>(bounds.size()));
    m.memory().write<uint32_t>(a + arr::kData, 0);
    m.memory().write<uint32_t>(a + arr::kKind, kind);
    m.memory().write<uint32_t>(a + arr::kDimensions, static_cast<uint32_t>(bounds.size()));
    uint32_t i = 0;
    for (const int32_t b : bounds) m.memory().write<int32_t>(a + arr::kScales + 4 * i++, b);
    return a;
}
GuestAddr dataOf(GuestMachine& m, GuestAddr a) {
    return m.memory().read<uint32_t>(a + arr::kData);
}
int32_t scale(GuestMachine& m, GuestAddr a, uint32_t i) {
    return m.memory().read<int32_t>(a + arr::kScales + 4 * i);
}
const char* errorOf(const auto& call) {
    try {
        call();
    } catch (const TxEx& ex) {
        return ex.message;
    }
    return "no error";
}

TEST(ArrayRoutines, ScalesBecomeCumulativeCountsOfZeroedCells) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr a = makeArray(m, 1, {2, 3, 1});
        txDimArray(m, a);
        EXPECT_EQ(scale(m, a, 0), 3);
        EXPECT_EQ(scale(m, a, 1), 12);
        EXPECT_EQ(scale(m, a, 2), 24);
        const uint8_t* cells = m.memory().bytes(dataOf(m, a), 24 * 4);
        for (int i = 0; i < 24 * 4; ++i) ASSERT_EQ(cells[i], 0);

        // Upper bound -1: no cells, but the array is dimensioned.
        const GuestAddr empty = makeArray(m, 1, {-1});
        txDimArray(m, empty);
        EXPECT_EQ(scale(m, empty, 0), 0);
        EXPECT_NE(dataOf(m, empty), 0u);
        txUndimArray(m, empty);
        EXPECT_EQ(dataOf(m, empty), 0u);
        EXPECT_EQ(scale(m, empty, 0), 0) << "the scales stay as they are";
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(ArrayRoutines, DescriptorsThatCannotBeAllocatedAreRuntimeErrors) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const size_t blocks = basicState().memBlocks.size();
        EXPECT_STREQ(errorOf([&] { txDimArray(m, makeArray(m, 1, {})); }), "Out of memory");
        EXPECT_STREQ(errorOf([&] { txDimArray(m, makeArray(m, 1, {0x7fffffff})); }),
                     "Out of memory");
        // A zero-sized dimension after a huge one: the huge scale cannot be written as a count.
        EXPECT_STREQ(errorOf([&] {
                         txDimArray(m, makeArray(m, 1, {0x7fffffff, -1}));
                     }),
                     "Out of memory");
        EXPECT_STREQ(errorOf([&] { txDimArray(m, makeArray(m, 1, {-2})); }),
                     "Array index out of bounds");
        const GuestAddr wide = makeArray(m, 1, {0});
        m.memory().write<uint32_t>(wide + arr::kDimensions, 0xFFFFFFFFu);
        EXPECT_STREQ(errorOf([&] { txDimArray(m, wide); }), "Out of memory");
        EXPECT_STREQ(errorOf([&] { txDimArray(m, 0x100); }), "Illegal memory address");
        EXPECT_EQ(basicState().memBlocks.size(), blocks) << "nothing allocated on the way";
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(ArrayRoutines, UndimReleasesOnlyCellsOfTheArraysOwnBlock) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr a = makeArray(m, arr::kKindString, {2});
        txDimArray(m, a);
        const GuestAddr cells = dataOf(m, a);
        for (uint32_t i = 0; i < 3; ++i)
            m.memory().write<uint32_t>(cells + 4 * i, strNew("s").handle);
        // A string the array does not own, just past the block the array was given.
        const uint32_t outsider = strNew("outside").handle;
        const GuestAddr past = cells + m.heap().blockSize(cells);
        const uint32_t saved = m.memory().read<uint32_t>(past);
        m.memory().write<uint32_t>(past, outsider);
        // Compiled code overwrote the count with a much larger one.
        m.memory().write<int32_t>(a + arr::kScales, 1000);
        txUndimArray(m, a);
        m.memory().write<uint32_t>(past, saved);
        EXPECT_EQ(liveStrings(), 1);
        EXPECT_TRUE(stringPool().isLive(outsider));

        // Data that is no block of the runtime allocator: nothing is released or freed.
        const GuestAddr b = makeArray(m, arr::kKindString, {0});
        const GuestAddr foreign = m.heap().allocate(16);
        m.memory().write<uint32_t>(foreign, outsider);
        m.memory().write<uint32_t>(b + arr::kData, foreign);
        txUndimArray(m, b);
        EXPECT_EQ(dataOf(m, b), 0u);
        EXPECT_TRUE(stringPool().isLive(outsider));
        EXPECT_NE(m.heap().blockSize(foreign), 0u);
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

TEST(ArrayRoutines, VectorsAreZeroedAndReleaseTheirElements) {
    const RunResult result = runInProgram([](GuestMachine& m) {
        const GuestAddr vecType = m.heap().allocate(12);
        m.memory().write<uint32_t>(vecType, kTagVector);
        m.memory().write<uint32_t>(vecType + 4, 4);
        m.memory().write<uint32_t>(vecType + 8, lang::kStrType);
        const GuestAddr v = txVecAlloc(m, vecType).address();
        for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(m.memory().read<uint32_t>(v + 4 * i), 0u);
        m.memory().write<uint32_t>(v + 4, strNew("a").handle);
        m.memory().write<uint32_t>(v + 12, strNew("b").handle);
        EXPECT_EQ(liveStrings(), 2);
        txVecFree(m, v, vecType);
        EXPECT_EQ(liveStrings(), 0);
        EXPECT_EQ(m.heap().blockSize(v), 0u);
        txVecFree(m, 0, vecType);  // none: nothing

        m.memory().write<uint32_t>(vecType + 4, 0x80000000u);
        EXPECT_STREQ(errorOf([&] { txVecAlloc(m, vecType); }), "Out of memory");
    });
    EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
}

}  // namespace
}  // namespace tx
