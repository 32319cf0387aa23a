// Branches to labels: the short form exactly where the displacement fits, chains of branches
// that push each other out of reach, alignment in between; checked against GNU as, which
// settles branch sizes the same way, and against a hand-computed layout at the edge.
#include <algorithm>
#include <random>

#include "gnu_as.h"

namespace txc::x86::test {
namespace {

// Code whose branches jump over random stretches of filler, some across alignments.
EncodedCode randomBranches(uint32_t seed, int labelCount, int steps) {
    std::mt19937 rng(seed);
    const auto below = [&rng](uint32_t n) { return static_cast<int>(rng() % n); };
    Encoder e;
    std::vector<Label> labels;
    for (int i = 0; i < labelCount; ++i) labels.push_back(e.newLabel());
    // Bound one after another in a random order, the rest at the end.
    std::vector<Label> unbound = labels;
    std::shuffle(unbound.begin(), unbound.end(), rng);
    for (int step = 0; step < steps; ++step) {
        const Label target = labels[below(labelCount)];
        switch (below(8)) {
            case 0:
                if (unbound.empty()) break;
                e.bind(unbound.back());
                unbound.pop_back();
                break;
            case 1:
                e.jmp(target);
                break;
            case 2:
                e.jcc(static_cast<Cond>(below(16)), target);
                break;
            case 3:
                e.call(target);
                break;
            case 4:
                below(4) == 0 ? e.align(1u << below(4), 0) : e.align(1u << below(7));
                break;
            default:
                e.db(std::vector<uint8_t>(below(70), 0x90));
                break;
        }
    }
    for (const Label& l : unbound) {
        e.bind(l);
        e.nop();
    }
    return e.finish();
}

TEST(BranchLayout, RandomBranchesMatchGnu) {
    for (uint32_t seed = 1; seed <= 16; ++seed) {
        SCOPED_TRACE(seed);
        expectSameAsGnu(randomBranches(seed, 4 + seed * 3, 120 + 40 * seed));
    }
}

// Backwards, the short form reaches exactly 128 bytes back (GNU as checks the bytes).
TEST(BranchLayout, ShortBackwardsTo128BytesBack) {
    for (const size_t gap : {126, 127}) {
        Encoder e;
        const Label start = e.newLabel();
        e.bind(start);
        e.db(std::vector<uint8_t>(gap, 0x90));
        e.jmp(start);
        expectSameAsGnu(e.finish());
    }
}

// Jump i of n reaches 4 * (n - 1 - i) bytes short of its limit while all are short, plus
// `extra`: with one byte more the last grows, which pushes the one before out of reach, and so
// on back to the first; without it all stay short.
TEST(BranchLayout, GrowthPropagatesThroughAChain) {
    constexpr int kJumps = 20;
    for (const int extra : {0, 1}) {
        SCOPED_TRACE(extra);
        Encoder e;
        std::vector<Label> targets;
        for (int i = 0; i < kJumps; ++i) {
            targets.push_back(e.newLabel());
            e.jcc(Cond::e, targets.back());
        }
        // Target i lies 127 + extra - 4 * (n - 1 - i) bytes after the end of jump i.
        const auto targetAt = [&](int i) { return 2 * i + 2 + 127 + extra - 4 * (kJumps - 1 - i); };
        e.db(std::vector<uint8_t>(targetAt(0) - 2 * kJumps, 0x90));
        for (int i = 0; i < kJumps; ++i) {
            e.bind(targets[i]);
            if (i + 1 < kJumps) e.db(std::vector<uint8_t>(targetAt(i + 1) - targetAt(i), 0x90));
        }
        e.nop();
        const EncodedCode code = e.finish();
        // All short, or all grown to the near form, 4 bytes longer (GNU as checks each).
        EXPECT_EQ(code.code.size(), targetAt(kJumps - 1) + 1 + (extra ? 4 * kJumps : 0));
        expectSameAsGnu(code);
    }
}

}  // namespace
}  // namespace txc::x86::test
