// The guest CPU and the dispatcher: hand-assembled x86 code calling commands and faulting.
#include <gtest/gtest.h>

#include <cstring>
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

// Asks the machine for service from every third call, as the preemption clock does.
GuestMachine* serviceTarget = nullptr;
uint32_t servicingCalls = 0;
int32_t addOneAskingService(int32_t x) {
    if (++servicingCalls % 3 == 0 && serviceTarget != nullptr) serviceTarget->requestService();
    return x + 1;
}

void linkTest(CommandRegistrar& r) {
    r.add(command<addOne>("%AddOne%x"));
    r.add(command<endProgram>("EndProgram"));
    r.add(command<failWithError>("FailWithError"));
    r.add(command<hostFailure>("HostFailure"));
    r.add(command<addOneAskingService>("%AddOneAskingService%x"));
}

const CommandTable& testTable() {
    static const CommandTable table(&linkTest);
    return table;
}

GuestAddr thunk(int index) {
    return layout::thunkAddress(index);
}

class GuestMachineTest : public ::testing::Test {
protected:
    // Loads code written in hex (see hexCode) into a fresh block and returns its address.
    GuestAddr load(std::string_view text, std::initializer_list<uint32_t> words = {}) {
        const GuestAddr at = machine.heap().allocate(4096);
        const test::Bytes code = test::hexCode(text, words, at);
        std::memcpy(machine.memory().writableBytes(at, static_cast<uint32_t>(code.size())),
                    code.data(), code.size());
        return at;
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
        const GuestEnd end = machine.call(load("E8k C705w 01000000 C3", {thunk(c.thunk), cell}));
        EXPECT_EQ(end.kind, c.kind);
        EXPECT_STREQ(end.message, c.message);
        EXPECT_EQ(machine.memory().read<int32_t>(cell), 0);
        const GuestAddr again = load("6801000000 E8k 83C404 C3", {thunk(1)});
        EXPECT_EQ(machine.call(again).kind, GuestEndKind::Returned);
    }
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
    for (const auto& range : kRanges) {
        SCOPED_TRACE(range.name);
        bool readFailed = false, writeFailed = false;
        try {
            memory.bytes(range.address, range.length);
        } catch (const TxEx& e) {
            readFailed = true;
            EXPECT_STREQ(e.message, "Illegal memory address");
        }
        try {
            memory.write<uint32_t>(range.address, 0x12345678u);
        } catch (const TxEx& e) {
            writeFailed = true;
            EXPECT_STREQ(e.message, "Illegal memory address");
        }
        EXPECT_EQ(!readFailed, range.readable);
        EXPECT_EQ(!writeFailed, range.writable);
    }
    EXPECT_EQ(memory.read<uint32_t>(layout::kThunkBase + 16), thunkBefore);
}

uint32_t services = 0;
uint32_t servicesAllowed = 0;
uint32_t callsWhenEnded = 0;
bool countService() {
    if (++services <= servicesAllowed) return true;
    callsWhenEnded = servicingCalls;
    return false;
}

// Service asked for while guest code runs is given at the next command call, which then goes on
// as if nothing happened, or ends the run there when the handler says so.
TEST_F(GuestMachineTest, ServiceRunsAtTheNextCommandCallOrEndsTheRunThere) {
    constexpr uint32_t kCalls = 30'000;
    // xor edi,edi; mov esi,kCalls; loop: push edi; call AddOneAskingService; add esp,4;
    // mov edi,eax; dec esi; jnz loop; mov [cell],edi; ret
    const GuestAddr entry =
        load("31FF BEw 57 E8k 83C404 89C7 4E 75F2 893Dw C3", {kCalls, thunk(5), cell});
    serviceTarget = &machine;
    machine.setServiceHandler(&countService);

    struct Case {
        uint32_t allowed;
        GuestEndKind kind;
        int32_t stored;
    };
    for (const Case& c :
         {Case{~0u, GuestEndKind::Returned, kCalls}, Case{2, GuestEndKind::Ended, 0}}) {
        services = servicingCalls = 0;
        servicesAllowed = c.allowed;
        machine.memory().write<int32_t>(cell, 0);
        const GuestEnd end = machine.call(entry);
        EXPECT_EQ(end.kind, c.kind);
        EXPECT_EQ(end.message, nullptr);
        EXPECT_EQ(machine.memory().read<int32_t>(cell), c.stored);
        if (c.kind == GuestEndKind::Returned) {
            EXPECT_EQ(servicingCalls, kCalls);
            EXPECT_EQ(machine.commandCalls(), kCalls);
            EXPECT_GE(services, kCalls / 3 - 1);
        } else {
            EXPECT_EQ(services, 3u);
            EXPECT_EQ(servicingCalls, callsWhenEnded) << "no command ran after the run ended";
        }
    }
    machine.setServiceHandler(nullptr);
    serviceTarget = nullptr;
}

}  // namespace
}  // namespace tx
