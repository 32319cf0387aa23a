#include "string_routines.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "command_registry.h"
#include "guest_machine.h"
#include "string_pool.h"
#include "tx_error.h"

namespace tx {
namespace {

void noCommands(CommandRegistrar&) {}

void stringRoutinesOnly(CommandRegistrar& registrar) {
    for (const CommandDef& def : stringSupportRoutines()) registrar.add(def);
}

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
    GuestAddr newLiteral(std::string_view text) {
        const GuestAddr at = machine.heap().allocate(static_cast<uint32_t>(text.size()) + 1);
        uint8_t* p = machine.memory().writableBytes(at, static_cast<uint32_t>(text.size()) + 1);
        std::memcpy(p, text.data(), text.size());
        p[text.size()] = 0;
        return at;
    }
    static StrArg temp(std::string_view text) { return StrArg(strNew(text).handle); }

    CommandTable table{noCommands};
    GuestMachine machine{table};
};

constexpr GuestAddr kUnmapped = 0x100;  // inside the null guard

TEST_F(StringRoutinesTest, ConstCopiesTheLiteral) {
    const GuestAddr literal = newLiteral("Hello, world");
    const Str s = txStrConst(machine, literal);
    EXPECT_EQ(strText(s.handle), "Hello, world");
    machine.memory().write<uint8_t>(literal, 'J');
    EXPECT_EQ(strText(s.handle), "Hello, world");
    EXPECT_EQ(liveStrings(), 1);

    EXPECT_THROW(txStrConst(machine, kUnmapped), TxEx);
    EXPECT_EQ(liveStrings(), 1);
}

TEST_F(StringRoutinesTest, LoadCopiesAndLeavesTheVariable) {
    const GuestAddr none = newVariable();
    Str empty = txStrLoad(machine, none);
    EXPECT_NE(empty.handle, 0u);
    EXPECT_EQ(strText(empty.handle), "");
    EXPECT_EQ(liveStrings(), 1);

    const uint32_t owned = strNew("abc").handle;
    const GuestAddr var = newVariable(owned);
    const Str copy = txStrLoad(machine, var);
    EXPECT_NE(copy.handle, owned);
    EXPECT_EQ(strText(copy.handle), "abc");
    EXPECT_EQ(variable(var), owned);
    EXPECT_EQ(strText(owned), "abc");

    // A variable holding a dead handle reads as none.
    strRelease(owned);
    EXPECT_EQ(strText(txStrLoad(machine, var).handle), "");

    EXPECT_THROW(txStrLoad(machine, kUnmapped), TxEx);
}

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

TEST_F(StringRoutinesTest, StoreToABadAddressLeaksNothing) {
    EXPECT_THROW(txStrStore(machine, kUnmapped, temp("lost")), TxEx);
    EXPECT_EQ(liveStrings(), 0);
}

TEST_F(StringRoutinesTest, ReleaseIgnoresNoneAndDeadHandles) {
    const uint32_t h = strNew("x").handle;
    txStrRelease(0);
    txStrRelease(h);
    EXPECT_EQ(liveStrings(), 0);
    const uint32_t other = strNew("y").handle;
    txStrRelease(h);
    EXPECT_EQ(strText(other), "y");
    EXPECT_EQ(liveStrings(), 1);
}

TEST_F(StringRoutinesTest, ConcatExtendsTheLeftOperand) {
    const uint32_t a = strNew("foo").handle;
    const uint32_t b = strNew("bar").handle;
    const Str joined = txStrConcat(StrArg(a), StrArg(b));
    EXPECT_EQ(joined.handle, a);
    EXPECT_EQ(strText(a), "foobar");
    EXPECT_FALSE(stringPool().isLive(b));
    EXPECT_EQ(liveStrings(), 1);

    const Str bytes = txStrConcat(temp(std::string_view("\0x", 2)), temp("\xff"));
    EXPECT_EQ(strText(bytes.handle), std::string_view("\0x\xff", 3));
}

TEST_F(StringRoutinesTest, ConcatSurvivesMisuse) {
    // The same temporary on both sides: doubled, and alive once.
    const uint32_t same = strNew("ab").handle;
    const Str doubled = txStrConcat(StrArg(same), StrArg(same));
    EXPECT_EQ(doubled.handle, same);
    EXPECT_EQ(strText(same), "abab");
    EXPECT_EQ(liveStrings(), 1);

    // A left operand that is none reads as empty.
    const uint32_t b = strNew("tail").handle;
    const Str fromNone = txStrConcat(StrArg(0), StrArg(b));
    EXPECT_EQ(strText(fromNone.handle), "tail");
    EXPECT_FALSE(stringPool().isLive(b));
    EXPECT_EQ(liveStrings(), 2);
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
        {"", "", 0},
        {"", "a", -1},
        {"\x80", "z", 1},
        {"\xff", "\x7f", 1},
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

TEST_F(StringRoutinesTest, ConversionsReleaseTheirArguments) {
    EXPECT_EQ(txStrToInt(temp(" 42 ")), 42);
    EXPECT_EQ(txStrToInt(temp("")), 0);
    EXPECT_EQ(txStrToFloat(temp("-2.5e1")), -25.0f);
    EXPECT_EQ(txStrToFloat(temp("x")), 0.0f);
    EXPECT_EQ(liveStrings(), 0);

    EXPECT_EQ(strText(txStrFromInt(-2147483647 - 1).handle), "-2147483648");
    EXPECT_EQ(strText(txStrFromFloat(1.5f).handle), "1.500000");
    EXPECT_EQ(strText(txStrFromFloat(-1.5f).handle), "-1.5");
    EXPECT_EQ(liveStrings(), 3);
}

TEST_F(StringRoutinesTest, ExpressionLoopReusesPoolObjects) {
    // a$ = a$ + "x" + Str(i) ... then compared, as compiled code runs it.
    const GuestAddr var = newVariable();
    const GuestAddr literal = newLiteral("x");
    for (int32_t i = 0; i < 5000; ++i) {
        Str s = txStrConcat(StrArg(txStrLoad(machine, var).handle),
                            StrArg(txStrConst(machine, literal).handle));
        if (i % 100 == 0) {
            txStrRelease(s.handle);
            s = txStrFromInt(i);
        }
        txStrStore(machine, var, StrArg(s.handle));
        txStrCompare(StrArg(txStrLoad(machine, var).handle), StrArg(txStrFromFloat(1.0f).handle));
    }
    EXPECT_EQ(liveStrings(), 1);
    EXPECT_EQ(stringPool().blockCount(), 1u);
    EXPECT_EQ(strText(variable(var)), "4900" + std::string(99, 'x'));
}

TEST_F(StringRoutinesTest, RegisteredAndCallableThroughTheAdapter) {
    const auto routines = stringSupportRoutines();
    EXPECT_NO_THROW(CommandTable{stringRoutinesOnly});

    // Raw argument words, as the dispatcher reads them from the guest stack.
    auto call = [&](const char* name, uint32_t w0, uint32_t w1 = 0, uint32_t w2 = 0) {
        for (const CommandDef& def : routines) {
            if (std::strcmp(def.signature, name) != 0) continue;
            const uint32_t words[3] = {w0, w1, w2};
            uint8_t args[12];
            std::memcpy(args, words, sizeof args);
            return def.dispatch(machine, args);
        }
        ADD_FAILURE() << name;
        return 0u;
    };
    const GuestAddr var = newVariable();
    const uint32_t hello = call("_txStrConst", newLiteral("hello"));
    const uint32_t world = call("_txStrConst", newLiteral(" world"));
    EXPECT_EQ(call("_txStrConcat", hello, world), hello);
    EXPECT_EQ(call("_txStrStore", var, hello), hello);
    const uint32_t loaded = call("_txStrLoad", var);
    EXPECT_EQ(strText(loaded), "hello world");
    EXPECT_EQ(call("_txStrCompare", loaded, call("_txStrConst", newLiteral("hello"))), 1u);
    EXPECT_EQ(call("_txStrToInt", call("_txStrFromInt", static_cast<uint32_t>(-12))),
              static_cast<uint32_t>(-12));
    EXPECT_EQ(call("_txStrToFloat", call("_txStrFromFloat", std::bit_cast<uint32_t>(0.25f))),
              std::bit_cast<uint32_t>(0.25f));
    const uint32_t spare = strNew("spare").handle;
    call("_txStrRelease", spare);
    EXPECT_FALSE(stringPool().isLive(spare));
    EXPECT_EQ(liveStrings(), 1);  // only the variable's string

    for (const CommandDef& def : routines) {
        const std::string_view name = def.signature;
        const ResultKind expected = name == "_txStrRelease"   ? ResultKind::None
                                    : name == "_txStrToFloat" ? ResultKind::Float
                                    : name == "_txStrCompare" || name == "_txStrToInt"
                                        ? ResultKind::Int
                                        : ResultKind::String;
        EXPECT_EQ(def.result, expected) << name;
    }
}

}  // namespace
}  // namespace tx
