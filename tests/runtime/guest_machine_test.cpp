// The guest CPU and the dispatcher: hand-assembled x86 code calling commands and faulting.
#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "command_registry.h"
#include "guest_machine.h"
#include "tx_error.h"

namespace tx {
namespace {

int32_t addOne(int32_t x) {
    return x + 1;
}
float half(float x) {
    return x / 2;
}
int32_t sum3(int32_t a, int32_t b, int32_t c) {
    return a * 100 + b * 10 + c;
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
    r.add(command<half>("#Half#x"));
    r.add(command<sum3>("%Sum3%a%b%c"));
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

// A tiny x86 assembler for the instructions these tests need.
class Code {
public:
    explicit Code(GuestMachine& m) : machine_(m), base_(m.heap().allocate(4096)) {}
    Code& bytes(std::initializer_list<uint8_t> b) {
        code_.insert(code_.end(), b);
        return *this;
    }
    Code& dword(uint32_t v) {
        for (int i = 0; i < 4; ++i) code_.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Code& push(uint32_t v) { return bytes({0x68}).dword(v); }
    Code& call(GuestAddr target) {
        bytes({0xE8});
        const GuestAddr next = base_ + static_cast<uint32_t>(code_.size()) + 4;
        return dword(target - next);
    }
    Code& popArgs(uint8_t n) { return bytes({0x83, 0xC4, static_cast<uint8_t>(4 * n)}); }
    Code& storeEax(GuestAddr a) { return bytes({0xA3}).dword(a); }
    Code& ret() { return bytes({0xC3}); }
    GuestAddr here() const { return base_ + static_cast<uint32_t>(code_.size()); }
    GuestAddr load() {
        std::memcpy(machine_.memory().writableBytes(base_, static_cast<uint32_t>(code_.size())),
                    code_.data(), code_.size());
        return base_;
    }

private:
    GuestMachine& machine_;
    GuestAddr base_;
    std::vector<uint8_t> code_;
};

class GuestMachineTest : public ::testing::Test {
protected:
    GuestMachine machine{testTable()};
    GuestAddr cell = machine.heap().allocate(16);
};

TEST_F(GuestMachineTest, CommandsReceiveCdeclArgumentsAndReturnInEaxAndSt0) {
    Code code(machine);
    code.push(41).call(thunk(1)).popArgs(1).storeEax(cell);
    // Sum3(1, 2, 3): pushed right to left.
    code.push(3).push(2).push(1).call(thunk(3)).popArgs(3).storeEax(cell + 4);
    // Half(3.0) -> fstp dword [cell + 8]
    code.push(std::bit_cast<uint32_t>(3.0f)).call(thunk(2)).popArgs(1);
    code.bytes({0xD9, 0x1D}).dword(cell + 8).ret();
    const GuestEnd end = machine.call(code.load());
    EXPECT_EQ(end.kind, GuestEndKind::Returned);
    EXPECT_EQ(machine.memory().read<int32_t>(cell), 42);
    EXPECT_EQ(machine.memory().read<int32_t>(cell + 4), 123);
    EXPECT_EQ(machine.memory().read<float>(cell + 8), 1.5f);
    EXPECT_EQ(machine.commandCalls(), 3u);
}

// Ending the program, a runtime error and a host failure in a command: nothing of the guest runs
// after it, and the machine runs again afterwards.
TEST_F(GuestMachineTest, NothingRunsAfterTheCommandThatEndsTheProgram) {
    const struct {
        int thunk;
        GuestEndKind kind;
        const char* message;
    } cases[] = {{4, GuestEndKind::Ended, nullptr},
                 {5, GuestEndKind::Ended, "Custom failure"},
                 {6, GuestEndKind::Fault, "Unknown runtime exception"}};
    for (const auto& c : cases) {
        Code code(machine);
        code.call(thunk(c.thunk)).bytes({0xC7, 0x05}).dword(cell).dword(1).ret();
        const GuestEnd end = machine.call(code.load());
        EXPECT_EQ(end.kind, c.kind);
        EXPECT_STREQ(end.message, c.message);
        EXPECT_EQ(machine.memory().read<int32_t>(cell), 0);
        Code again(machine);
        again.push(1).call(thunk(1)).popArgs(1).ret();
        EXPECT_EQ(machine.call(again.load()).kind, GuestEndKind::Returned);
    }
}

struct FaultCase {
    const char* name;
    std::vector<uint8_t> code;
    const char* message;
};

TEST_F(GuestMachineTest, FaultsBecomeTheirRuntimeErrors) {
    const FaultCase cases[] = {
        {"null read", {0xA1, 0, 0, 0, 0, 0xC3}, "Illegal memory address"},
        {"write to thunks",
         {0xC7, 0x05, 0x00, 0x00, 0x01, 0x00, 1, 0, 0, 0, 0xC3},
         "Illegal memory address"},
        {"jump to null", {0x31, 0xC0, 0xFF, 0xE0}, "Illegal memory address"},
        {"ud2", {0x0F, 0x0B}, "Illegal instruction"},
        // xor ecx,ecx; mov eax,1; cdq; idiv ecx
        {"divide by zero",
         {0x31, 0xC9, 0xB8, 1, 0, 0, 0, 0x99, 0xF7, 0xF9, 0xC3},
         "Integer divide by zero"},
        // divide by a zero memory operand: div dword [esp - 8] after writing 0 there
        {"divide by zero in memory",
         {0xC7, 0x44, 0x24, 0xF8, 0, 0,    0,    0,    0x31, 0xD2,
          0xB8, 7,    0,    0,    0, 0xF7, 0x74, 0x24, 0xF8, 0xC3},
         "Integer divide by zero"},
        // mov eax,0x80000000; cdq; mov ecx,-1; idiv ecx
        {"quotient overflow",
         {0xB8, 0, 0, 0, 0x80, 0x99, 0xB9, 0xFF, 0xFF, 0xFF, 0xFF, 0xF7, 0xF9, 0xC3},
         "Unknown runtime exception"},
        {"int3", {0xCC, 0xC3}, "Unknown runtime exception"},
        // call itself forever
        {"unbounded recursion", {0xE8, 0xFB, 0xFF, 0xFF, 0xFF}, "Stack overflow!"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const GuestAddr at = machine.heap().allocate(64);
        std::memcpy(machine.memory().writableBytes(at, 64), c.code.data(), c.code.size());
        const GuestEnd end = machine.call(at);
        EXPECT_EQ(end.kind, GuestEndKind::Fault);
        EXPECT_STREQ(end.message, c.message);
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
    Code code(machine);
    code.bytes({0x31, 0xFF, 0xBE}).dword(kCalls);
    const GuestAddr loop = code.here();
    code.bytes({0x57}).call(thunk(7)).popArgs(1).bytes({0x89, 0xC7, 0x4E, 0x0F, 0x85});
    code.dword(loop - (code.here() + 4)).bytes({0x89, 0x3D}).dword(cell).ret();
    const GuestAddr entry = code.load();
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
            EXPECT_GE(services, kCalls / 3 - 1);
        } else {
            EXPECT_EQ(services, 3u);
            EXPECT_EQ(servicingCalls, callsWhenEnded) << "no command ran after the run ended";
        }
    }
    machine.setServiceHandler(nullptr);
    serviceTarget = nullptr;
}

// A loop that calls no command ends when another thread interrupts it; the handler runs once.
TEST_F(GuestMachineTest, AnInterruptEndsALoopThatCallsNoCommand) {
    const GuestAddr at = machine.heap().allocate(16);
    machine.memory().write<uint16_t>(at, 0xFEEB);  // jmp $
    services = 0;
    servicesAllowed = ~0u;
    machine.setServiceHandler(&countService);
    std::atomic<bool> done{false};
    std::thread interrupter([&] {
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            machine.interrupt();
        }
    });
    const GuestEnd end = machine.call(at);
    done = true;
    interrupter.join();
    machine.setServiceHandler(nullptr);
    EXPECT_EQ(end.kind, GuestEndKind::Ended);
    EXPECT_EQ(end.message, nullptr);
    EXPECT_EQ(services, 1u);
}

}  // namespace
}  // namespace tx
