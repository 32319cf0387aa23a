// The guest CPU and the dispatcher: hand-assembled x86 code calling commands and faulting.
#include <gtest/gtest.h>

#include <string_view>

#include "command_registry.h"
#include "guest_machine.h"
#include "image_builder.h"
#include "tx_error.h"

namespace tx {
namespace {

int32_t addOne(int32_t x) {
    return x + 1;
}
void endProgram() {
    throw TxEx{};
}
void failWithError() {
    throw TxEx{"Custom failure"};
}
void hostFailure() {
    throw std::runtime_error("host");
}

void linkTest(CommandRegistrar& r) {
    r.add(command<addOne>("%AddOne%x"));
    r.add(command<endProgram>("EndProgram"));
    r.add(command<failWithError>("FailWithError"));
    r.add(command<hostFailure>("HostFailure"));
}

const CommandTable& testTable() {
    static const CommandTable table(&linkTest);
    return table;
}

class GuestMachineTest : public ::testing::Test {
protected:
    GuestAddr load(std::string_view text, std::initializer_list<uint32_t> words = {}) {
        return test::loadCode(machine, text, words);
    }

    GuestMachine machine{testTable()};
    GuestAddr cell = machine.heap().allocate(16);
};

// Ending the program, a runtime error and a host failure in a command: nothing of the guest runs
// after it (the store of 1), and the machine runs again afterwards.
TEST_F(GuestMachineTest, NothingRunsAfterTheCommandThatEndsTheProgram) {
    const struct {
        int thunk;
        GuestEndKind kind;
        const char* message;
    } cases[] = {{2, GuestEndKind::Ended, nullptr},
                 {3, GuestEndKind::Ended, "Custom failure"},
                 {4, GuestEndKind::Fault, "Unknown runtime exception"}};
    for (const auto& c : cases) {
        const GuestEnd end =
            machine.call(load("E8k C705w 01000000 C3", {layout::thunkAddress(c.thunk), cell}));
        EXPECT_EQ(end.kind, c.kind);
        EXPECT_STREQ(end.message, c.message);
        EXPECT_EQ(machine.memory().read<int32_t>(cell), 0);
        const GuestAddr again = load("6801000000 E8k 83C404 C3", {layout::thunkAddress(1)});
        EXPECT_EQ(machine.call(again).kind, GuestEndKind::Returned);
    }
    EXPECT_EQ(machine.commandCalls(), 6u) << "the ending calls count too";
}

TEST_F(GuestMachineTest, FaultsBecomeTheirRuntimeErrors) {
    const struct {
        const char* name;
        const char* code;
        const char* message;
    } cases[] = {
        {"null read", "A100000000 C3", "Illegal memory address"},
        {"write to thunks", "C705 00000100 01000000 C3", "Illegal memory address"},
        {"jump to null", "31C0 FFE0", "Illegal memory address"},
        {"ud2", "0F0B", "Illegal instruction"},
        // xor ecx,ecx; mov eax,1; cdq; idiv ecx
        {"divide by zero", "31C9 B801000000 99 F7F9 C3", "Integer divide by zero"},
        // mov dword [esp - 8], 0; xor edx,edx; mov eax,7; div dword [esp - 8]
        {"divide by zero in memory", "C74424F8 00000000 31D2 B807000000 F77424F8 C3",
         "Integer divide by zero"},
        // mov eax,0x80000000; cdq; mov ecx,-1; idiv ecx
        {"quotient overflow", "B800000080 99 B9FFFFFFFF F7F9 C3", "Unknown runtime exception"},
        {"int3", "CC C3", "Unknown runtime exception"},
        {"unbounded recursion", "E8FBFFFFFF", "Stack overflow!"},  // call itself forever
        // Past findings, which took the emulator down or ended without a fault: mov dr7; call
        // far and jmp far with a register operand; lock before cmp, cmpsd and bts on a
        // register; hlt, which is privileged (and a run without a budget cannot spend one).
        {"mov dr7", "B802000000 0F23F8 C3", "Illegal instruction"},
        {"call far register", "FFD8", "Illegal instruction"},
        {"jmp far register", "FFE8", "Illegal instruction"},
        {"lock cmp", "F03900", "Illegal instruction"},
        {"lock cmpsd", "F0A7", "Illegal instruction"},
        {"lock bts register", "F00FABC0", "Illegal instruction"},
        {"hlt", "F4C3", "Unknown runtime exception"},
    };
    for (const auto& c : cases) {
        const GuestEnd end = machine.call(load(c.code));
        EXPECT_EQ(end.kind, GuestEndKind::Fault) << c.name;
        EXPECT_STREQ(end.message, c.message) << c.name;
    }
}

TEST_F(GuestMachineTest, HostWritesHonourThePageProtectionAsGuestStoresDo) {
    constexpr struct {
        const char* name;
        GuestAddr address;
        uint32_t length;
        bool readable, writable;
    } kRanges[] = {
        {"null guard", 0x100, 4, false, false},
        {"thunk page", layout::kThunkBase + 16, 4, true, false},
        {"last thunk bytes", layout::kRuntimeDataBase - 4, 4, true, false},
        {"across thunks into data", layout::kRuntimeDataBase - 2, 4, true, false},
        {"runtime data", layout::kRuntimeDataBase, 4, true, true},
        {"heap", layout::kHeapBase, 4096, true, true},
        {"stack guard", layout::kStackGuardBase, 4, false, false},
        {"stack top", static_cast<GuestAddr>(layout::kArenaSize - 4), 4, true, true},
        {"past the arena", static_cast<GuestAddr>(layout::kArenaSize - 2), 4, false, false},
    };
    GuestMemory& memory = machine.memory();
    const uint32_t thunkBefore = memory.read<uint32_t>(layout::kThunkBase + 16);
    const auto refused = [](auto access) {
        try {
            access();
        } catch (const TxEx& e) {
            EXPECT_STREQ(e.message, "Illegal memory address");
            return true;
        }
        return false;
    };
    for (const auto& range : kRanges) {
        SCOPED_TRACE(range.name);
        EXPECT_NE(refused([&] { memory.bytes(range.address, range.length); }), range.readable);
        EXPECT_NE(refused([&] { memory.write<uint32_t>(range.address, 0x12345678u); }),
                  range.writable);
    }
    EXPECT_EQ(memory.read<uint32_t>(layout::kThunkBase + 16), thunkBefore);
}

}  // namespace
}  // namespace tx
