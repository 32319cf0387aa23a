// The language routines called with whatever compiled code might hand them: random arguments and
// random guest memory posing as descriptors, objects, lists and data records. Every call must
// return or end in a runtime error; nothing else may escape, and the host must not crash.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <random>

#include "array_routines.h"
#include "basic_state.h"
#include "data_routines.h"
#include "in_program.h"
#include "object_routines.h"
#include "object_text.h"
#include "string_pool.h"
#include "tx_error.h"

namespace tx {
namespace {

constexpr uint32_t kRegionBytes = 64 * 1024;
constexpr int kCalls = 10'000;

class Garbage {
public:
    Garbage(GuestMachine& m, uint32_t seed) : m_(m), rng_(seed) {
        region_ = m.heap().allocate(kRegionBytes);
        for (uint32_t at = 0; at < kRegionBytes; at += 4) m.memory().write(region_ + at, word());
    }

    // Mostly small numbers and addresses inside the region, so descriptors and links point at
    // more garbage; now and then zero or a large value.
    uint32_t word() {
        const uint32_t pick = rng_() % 10;
        if (pick < 4) return rng_() % 16;
        if (pick < 8) return address();
        if (pick < 9) return 0;
        // Values no size can have, or sizes that stay modest.
        return (rng_() & 1) != 0 ? rng_() | 0xF000'0000u : rng_() & 0xFFFF;
    }
    uint32_t address() { return region_ + (rng_() % (kRegionBytes / 4)) * 4; }
    // Now and then rewrites a little of the region, as a running program would.
    void scribble() {
        for (int i = 0; i < 4; ++i) m_.memory().write(address(), word());
    }
    uint32_t pick(uint32_t n) { return rng_() % n; }

private:
    GuestMachine& m_;
    std::mt19937 rng_;
    GuestAddr region_ = 0;
};

// Garbage sizes make big allocations; past this much guest heap in use, calls that allocate are
// left out so that a run does not spend its time committing the whole heap.
constexpr uint64_t kHeapInUseLimit = 64u << 20;

using Routine = void (*)(GuestMachine&, Garbage&);
const Routine kRoutines[] = {
    [](GuestMachine& m, Garbage& g) { txObjNew(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjDelete(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjDeleteEach(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjRelease(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjStore(m, g.word(), g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjCompare(m, g.word(), g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjNext(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjPrev(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjFirst(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjLast(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjInsBefore(m, g.word(), g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjInsAfter(m, g.word(), g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjEachFirst(m, g.word(), g.word()); },
    [](GuestMachine& m, Garbage& g) { txObjEachNext(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { strRelease(txObjToStr(m, g.word()).handle); },
    [](GuestMachine& m, Garbage& g) { txObjToHandle(m, g.word()); },
    [](GuestMachine& m, Garbage& g) {
        txObjFromHandle(m, static_cast<int32_t>(g.pick(8)), g.word());
    },
    [](GuestMachine& m, Garbage& g) { txDimArray(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txUndimArray(m, g.word()); },
    [](GuestMachine& m, Garbage& g) { txVecFree(m, g.word(), g.word()); },
    [](GuestMachine& m, Garbage& g) { txVecAlloc(m, g.word()); },
    [](GuestMachine&, Garbage& g) { txRestore(g.word()); },
    [](GuestMachine& m, Garbage&) { txReadInt(m); },
    [](GuestMachine& m, Garbage&) { strRelease(txReadStr(m).handle); },
};

void callOne(GuestMachine& m, Garbage& g) {
    const uint32_t routine = g.pick(std::size(kRoutines));
    const bool allocates = routine == 0 || routine == 17 || routine == 20;
    if (allocates && m.heap().bytesInUse() > kHeapInUseLimit) return;
    kRoutines[routine](m, g);
}

TEST(LanguageRoutinesFuzz, GarbageArgumentsAndDescriptorsEndInRuntimeErrorsAtWorst) {
    for (const uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        int errors = 0;
        const RunResult result = test::runInProgram([&](GuestMachine& m) {
            Garbage g(m, seed);
            for (int i = 0; i < kCalls; ++i) {
                if (i % 16 == 0) g.scribble();
                try {
                    callOne(m, g);
                } catch (const TxEx&) {
                    ++errors;
                }
            }
        });
        EXPECT_EQ(result.outcome, RunOutcome::Ended) << (result.message ? result.message : "");
        EXPECT_GT(errors, 0) << "garbage should fail now and then";
        EXPECT_LT(errors, kCalls) << "and get through now and then";
    }
}

}  // namespace
}  // namespace tx
