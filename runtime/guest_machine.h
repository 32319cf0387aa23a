// One guest: its memory, CPU, heap and thunks, and the dispatcher between guest code and commands.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "command_registry.h"
#include "cpu.h"
#include "guest_heap.h"
#include "guest_memory.h"

namespace tx {

enum class GuestEndKind {
    Returned,     // the entry point returned
    Ended,        // a command ended the program (TxEx); its error, if any, is already reported
    Fault,        // the guest faulted or a command failed on the host; not reported yet
    BudgetSpent,  // the instruction budget ran out
};

struct GuestEnd {
    GuestEndKind kind = GuestEndKind::Returned;
    const char* message = nullptr;
};

class GuestMachine final : private ThunkHandler {
public:
    explicit GuestMachine(const CommandTable& table = CommandTable::instance());
    ~GuestMachine();
    GuestMachine(const GuestMachine&) = delete;
    GuestMachine& operator=(const GuestMachine&) = delete;

    GuestMemory& memory() { return memory_; }
    GuestHeap& heap() { return heap_; }
    Cpu& cpu() { return *cpu_; }

    // Runs guest code from `entry` on a fresh stack, with the x87 unit at single precision and
    // every exception masked, until it returns, the program ends or the budget is spent.
    GuestEnd call(GuestAddr entry);

    // While an unbounded call runs, the preemption clock (preempt_clock.h) asks for service
    // every few milliseconds; the next command call then runs the handler first, on the guest's
    // thread (pumping the window), and the handler returns whether the program goes on: false
    // ends it quietly there. When the program must end while guest code runs without calling
    // commands, the clock interrupts the CPU instead; the handler then runs once and the
    // program ends quietly whatever it returns.
    using ServiceHandler = bool (*)();
    void setServiceHandler(ServiceHandler handler) { serviceHandler_ = handler; }
    // From any thread.
    void requestService() { serviceDue_.store(true, std::memory_order_relaxed); }
    void interrupt() { cpu_->interrupt(); }
    // From the preemption clock's thread: when guest code has run without a command call since
    // the last request for service, runs `serve` at once on the calling thread, keeping the
    // program's thread out of commands (and of the host) until it returns. Returns whether it ran.
    using OutsideService = void (*)(void* context);
    bool serveWhileInGuestCode(OutsideService serve, void* context);

    // Bounds every later call to this many guest instructions (0: unbounded). For fuzzing and
    // tools; a game runs unbounded. A bounded call is never preempted.
    void setInstructionBudget(uint64_t instructions) { budget_ = instructions; }

    // Number of commands dispatched so far (for statistics and tests).
    uint64_t commandCalls() const { return commandCalls_; }

private:
    void onThunk(uint32_t slot) override;
    void writeThunks();
    // The program's thread enters and leaves guest code; leaving waits while the clock serves.
    void enterGuestCode() { occupant_.store(kInGuestCode, std::memory_order_release); }
    void leaveGuestCode();
    const char* faultMessage(const CpuStop& stop);
    const char* divideErrorMessage(GuestAddr pc);

    GuestMemory memory_;
    std::unique_ptr<Cpu> cpu_;
    GuestHeap heap_;
    const CommandTable& table_;
    GuestEnd pendingEnd_;
    bool endRequested_ = false;
    uint64_t commandCalls_ = 0;
    uint64_t budget_ = 0;
    ServiceHandler serviceHandler_ = nullptr;
    std::atomic<bool> serviceDue_{false};
    // Who may touch the host: the program's thread in a command (or outside any run), nobody
    // while guest code runs, or the clock's thread serving meanwhile.
    static constexpr int kInHost = 0, kInGuestCode = 1, kServedByClock = 2;
    std::atomic<int> occupant_{kInHost};
};

// Decodes `div`/`idiv` at pc and reads its divisor. Returns false when pc holds no such
// instruction or its operand cannot be read.
bool readDivisor(GuestMemory& memory, Cpu& cpu, GuestAddr pc, uint32_t& divisor);

}  // namespace tx
