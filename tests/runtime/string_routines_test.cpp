#include "string_routines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "guest_machine.h"
#include "string_pool.h"
#include "tx_error.h"

namespace tx {
namespace {

class StringRoutinesTest : public ::testing::Test {
protected:
    void SetUp() override { stringsCreate(); }
    void TearDown() override { stringsDestroy(); }

    static StrArg temp(std::string_view text) { return StrArg(strNew(text).handle); }

    GuestMachine machine;
};

TEST_F(StringRoutinesTest, StoreHandsTheTemporaryToTheVariable) {
    // A string variable: a guest cell holding a handle, none at first.
    const GuestAddr var = machine.heap().allocate(4);
    machine.memory().write<uint32_t>(var, 0);
    uint32_t held = 0;
    for (const char* text : {"first", "second"}) {
        held = strNew(text).handle;
        EXPECT_EQ(txStrStore(machine, var, StrArg(held)).handle, held);
        EXPECT_EQ(machine.memory().read<uint32_t>(var), held);
        EXPECT_EQ(liveStrings(), 1) << "the variable's earlier string is released";
    }

    // Storing the string the variable already holds keeps it alive.
    txStrStore(machine, var, StrArg(held));
    EXPECT_TRUE(stringPool().isLive(held));
    EXPECT_EQ(liveStrings(), 1);
}

TEST_F(StringRoutinesTest, CompareIsUnsignedBytewiseThenLength) {
    struct Case {
        std::string_view a, b;
        int32_t order;
    };
    const Case cases[] = {
        {"abc", "abd", -1},
        {"ab", "abc", -1},
        {"b", "abc", 1},
        {"abc", "abc", 0},
        {"", "a", -1},
        {"\x80", "z", 1},
        {"a\xe9", "az", 1},
        {std::string_view("a\0b", 3), std::string_view("a\0c", 3), -1},
        {"a", std::string_view("a\0", 2), -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(txStrCompare(temp(c.a), temp(c.b)), c.order) << c.a << " vs " << c.b;
        EXPECT_EQ(txStrCompare(temp(c.b), temp(c.a)), -c.order) << c.b << " vs " << c.a;
    }
    EXPECT_EQ(liveStrings(), 0);

    const uint32_t same = strNew("x").handle;
    EXPECT_EQ(txStrCompare(StrArg(same), StrArg(same)), 0);
    EXPECT_EQ(liveStrings(), 0);
}

}  // namespace
}  // namespace tx
