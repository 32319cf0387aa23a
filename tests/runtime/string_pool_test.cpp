#include "string_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tx_string.h"

namespace tx {
namespace {

class StringPoolTest : public ::testing::Test {
protected:
    void SetUp() override { stringsCreate(); }
    void TearDown() override { stringsDestroy(); }

    // Fills the first block completely, so the free list is empty.
    std::vector<uint32_t> fillOneBlock() {
        std::vector<uint32_t> handles;
        for (uint32_t i = 0; i < StringPool::kBlockSize; ++i)
            handles.push_back(strNew(std::to_string(i)).handle);
        return handles;
    }
};

TEST_F(StringPoolTest, KeepsAnyBytes) {
    const std::string_view bytes("a\0b\xff", 4);
    const uint32_t h = strNew(bytes).handle;
    EXPECT_NE(h, 0u);
    EXPECT_EQ(strText(h), bytes);
    EXPECT_EQ(strText(strNew("").handle), "");
    EXPECT_EQ(liveStrings(), 2);
}

TEST_F(StringPoolTest, GrowsByBlocksAndKeepsThem) {
    std::vector<uint32_t> handles;
    for (int i = 0; i < 512; ++i) handles.push_back(strNew("s").handle);
    EXPECT_EQ(stringPool().blockCount(), 1u);
    EXPECT_EQ(stringPool().freeCount(), 0u);

    handles.push_back(strNew("the 513th").handle);
    EXPECT_EQ(stringPool().blockCount(), 2u);
    EXPECT_EQ(stringPool().freeCount(), 511u);
    EXPECT_EQ(liveStrings(), 513);

    for (uint32_t h : handles) strRelease(h);
    EXPECT_EQ(liveStrings(), 0);
    EXPECT_EQ(stringPool().blockCount(), 2u);
    EXPECT_EQ(stringPool().freeCount(), 1024u);
    EXPECT_EQ(stringPool().usedCount(), 0u);
}

TEST_F(StringPoolTest, ReusesFreedObjectsInReleaseOrder) {
    const std::vector<uint32_t> handles = fillOneBlock();
    strRelease(handles[5]);
    strRelease(handles[2]);

    // Taken from the head of the free list: the first released comes back first.
    const uint32_t first = strNew("x").handle;
    const uint32_t second = strNew("y").handle;
    EXPECT_EQ(StringPool::slotIndex(first), StringPool::slotIndex(handles[5]));
    EXPECT_EQ(StringPool::slotIndex(second), StringPool::slotIndex(handles[2]));
    EXPECT_EQ(stringPool().blockCount(), 1u);

    const uint32_t third = strNew("z").handle;
    EXPECT_EQ(stringPool().blockCount(), 2u);
    EXPECT_EQ(StringPool::slotIndex(third), StringPool::kBlockSize);
}

TEST_F(StringPoolTest, UsedListIsInConstructionOrder) {
    const uint32_t a = strNew("a").handle;
    const uint32_t b = strNew("b").handle;
    const uint32_t c = strNew("c").handle;
    strRelease(b);
    const uint32_t d = strNew("d").handle;
    EXPECT_EQ(stringPool().usedHandles(), (std::vector<uint32_t>{a, c, d}));
}

TEST_F(StringPoolTest, DeadAndBogusHandlesAreHarmless) {
    const std::vector<uint32_t> handles = fillOneBlock();
    const uint32_t dead = handles[7];
    strRelease(dead);
    EXPECT_FALSE(stringPool().isLive(dead));
    EXPECT_EQ(strText(dead), "");
    EXPECT_EQ(stringPool().mutableText(dead), nullptr);

    // The slot now holds another string; the old handle still names nothing.
    const uint32_t reused = strNew("new owner").handle;
    ASSERT_EQ(StringPool::slotIndex(reused), StringPool::slotIndex(dead));
    EXPECT_NE(reused, dead);
    EXPECT_EQ(strText(dead), "");
    strRelease(dead);
    EXPECT_EQ(strText(reused), "new owner");

    const int32_t live = liveStrings();
    const uint32_t bogus[] = {
        0,
        0xFFFF'FFFF,
        StringPool::slotIndex(reused),                          // generation 0
        StringPool::makeHandle(1, StringPool::kBlockSize * 9),  // beyond the pool
        reused ^ (1u << StringPool::kIndexBits),                // wrong generation
    };
    for (uint32_t h : bogus) {
        EXPECT_EQ(strText(h), "") << h;
        EXPECT_EQ(stringPool().mutableText(h), nullptr) << h;
        strRelease(h);
    }
    EXPECT_EQ(liveStrings(), live);
    EXPECT_EQ(strText(reused), "new owner");
}

TEST_F(StringPoolTest, ReleasedSlotsKeepSmallBuffersOnly) {
    std::vector<uint32_t> handles = fillOneBlock();
    const std::string medium(200, 'm');
    const std::string large(StringPool::kKeptCapacity * 4, 'L');

    strRelease(handles[0]);
    strRelease(handles[1]);
    handles[0] = strNew(medium).handle;
    handles[1] = strNew(large).handle;
    strRelease(handles[0]);
    strRelease(handles[1]);

    const uint32_t again = strNew("m").handle;
    const uint32_t afterLarge = strNew("L").handle;
    EXPECT_GE(stringPool().mutableText(again)->capacity(), medium.size());
    EXPECT_LE(stringPool().mutableText(afterLarge)->capacity(), StringPool::kKeptCapacity);
}

TEST_F(StringPoolTest, DestroyReleasesEverything) {
    const uint32_t h = strNew("kept until destroy").handle;
    for (int i = 0; i < 600; ++i) strNew("x");
    EXPECT_EQ(liveStrings(), 601);

    stringsDestroy();
    EXPECT_EQ(liveStrings(), 0);
    EXPECT_EQ(strText(h), "");
    strRelease(h);

    // A new pool does not take the old handles for its own strings.
    stringsCreate();
    EXPECT_EQ(stringPool().blockCount(), 0u);
    const uint32_t fresh = strNew("fresh").handle;
    EXPECT_EQ(StringPool::slotIndex(fresh), StringPool::slotIndex(h));
    EXPECT_NE(fresh, h);
    EXPECT_EQ(strText(h), "");
    EXPECT_EQ(liveStrings(), 1);
}

TEST_F(StringPoolTest, MakesAPoolOnFirstUseWithoutCreate) {
    stringsDestroy();
    EXPECT_EQ(liveStrings(), 0);
    EXPECT_EQ(strText(1), "");
    strRelease(1);

    const uint32_t h = strNew("lazy").handle;
    EXPECT_EQ(strText(h), "lazy");
    EXPECT_EQ(liveStrings(), 1);
}

TEST_F(StringPoolTest, StrArgReleasesUnlessHandedOn) {
    const uint32_t kept = strNew("kept").handle;
    {
        StrArg dropped(strNew("dropped").handle);
        StrArg passed(kept);
        EXPECT_EQ(passed.view(), "kept");
        EXPECT_EQ(passed.release().handle, kept);
    }
    EXPECT_EQ(liveStrings(), 1);
    EXPECT_EQ(strText(kept), "kept");
}

}  // namespace
}  // namespace tx
