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

    // A string variable: a guest cell holding a handle (0 for none).
    GuestAddr newVariable(uint32_t handle = 0) {
        const GuestAddr cell = machine.heap().allocate(4);
        machine.memory().write<uint32_t>(cell, handle);
        return cell;
    }
    uint32_t variable(GuestAddr cell) { return machine.memory().read<uint32_t>(cell); }
    static StrArg temp(std::string_view text) { return StrArg(strNew(text).handle); }

    GuestMachine machine;
};

TEST_F(StringRoutinesTest, StoreHandsTheTemporaryToTheVariable) {
    const GuestAddr var = newVariable();
    const uint32_t first = strNew("first").handle;
    EXPECT_EQ(txStrStore(machine, var, StrArg(first)).handle, first);
    EXPECT_EQ(variable(var), first);
    EXPECT_EQ(liveStrings(), 1);

    const uint32_t second = strNew("second").handle;
    EXPECT_EQ(txStrStore(machine, var, StrArg(second)).handle, second);
    EXPECT_EQ(variable(var), second);
    EXPECT_FALSE(stringPool().isLive(first));
    EXPECT_EQ(liveStrings(), 1);

    // Storing the string the variable already holds keeps it alive.
    txStrStore(machine, var, StrArg(second));
    EXPECT_EQ(strText(second), "second");
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
