#include "handle_table.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace tx {
namespace {

TEST(HandleTable, StaleHandlesStayDeadThroughLongOpenCloseLoops) {
    HandleTable<int> table(handle_kind::kStream);
    int object = 7;
    const uint32_t first = table.insert(&object);
    ASSERT_NE(first, 0u);
    ASSERT_EQ(table.remove(first), &object);
    // One open/close loop, as a program that opens and closes a file every frame makes.
    std::set<uint32_t> issued{first};
    for (int i = 0; i < 300'000; ++i) {
        const uint32_t handle = table.insert(&object);
        ASSERT_NE(handle, 0u);
        EXPECT_EQ(table.find(first), nullptr) << "after " << i << " reuses";
        issued.insert(handle);
        table.remove(handle);
    }
    EXPECT_EQ(issued.size(), 300'001u) << "no handle was issued twice";
    EXPECT_EQ(table.size(), 0u);
}

TEST(HandleTable, KindsGarbageAndFreedHandlesNameNothing) {
    HandleTable<int> banks(handle_kind::kBank);
    HandleTable<int> timers(handle_kind::kTimer);
    int a = 1;
    int b = 2;
    const uint32_t bank = banks.insert(&a);
    const uint32_t timer = timers.insert(&b);
    EXPECT_EQ(banks.find(bank), &a);
    EXPECT_EQ(banks.find(timer), nullptr);
    EXPECT_EQ(timers.find(bank), nullptr);
    for (uint32_t garbage : {0u, 1u, 0xFFFFFFFFu, bank + 1, bank ^ (1u << 18)})
        EXPECT_EQ(banks.find(garbage), nullptr) << garbage;
    EXPECT_EQ(banks.remove(bank), &a);
    EXPECT_EQ(banks.remove(bank), nullptr);
    EXPECT_EQ(banks.find(bank), nullptr);

    std::vector<int> objects(2000);
    std::vector<uint32_t> handles;
    for (int& o : objects) handles.push_back(banks.insert(&o));
    for (size_t i = 0; i < handles.size(); ++i) EXPECT_EQ(banks.find(handles[i]), &objects[i]);
    int visited = 0;
    banks.forEach([&](int*) { ++visited; });
    EXPECT_EQ(visited, 2000);
}

}  // namespace
}  // namespace tx
