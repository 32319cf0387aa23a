// The guest CPU behind a small interface, so another backend can replace the emulator later.
#pragma once

#include <cstdint>
#include <memory>

#include "guest_layout.h"

namespace tx {

enum class CpuReg { Eax, Ecx, Edx, Ebx, Esp, Ebp, Esi, Edi, Eip };

enum class CpuFault {
    None,
    UnmappedAccess,      // read, write or fetch outside mapped memory
    ProtectedAccess,     // write to read-only memory and the like
    InvalidInstruction,  // undefined opcode
    DivideError,         // #DE: division by zero or quotient overflow
    EngineFailure,       // the emulator crashed on the instruction and was replaced
    Other,               // any other exception or interrupt
};

struct CpuStop {
    CpuFault fault = CpuFault::None;
    GuestAddr faultAddress = 0;  // data address of an unmapped or protected access
    GuestAddr pc = 0;            // where execution stopped (the faulting instruction on a fault)
    bool interrupted = false;    // stopped by interrupt(); such a run cannot be continued
};

// Called on the host when guest execution reaches the first byte of a thunk slot.
class ThunkHandler {
public:
    virtual void onThunk(uint32_t slot) = 0;

protected:
    ~ThunkHandler() = default;
};

class Cpu {
public:
    virtual ~Cpu() = default;

    // Maps host memory at a guest address; size and address are 4 KiB aligned.
    virtual void mapMemory(GuestAddr address, uint32_t size, uint8_t* host, bool writable) = 0;
    // Thunk slots live in [base, base + count * slotSize); the handler sees each slot entry.
    virtual void setThunkRange(GuestAddr base, uint32_t slotSize, uint32_t count,
                               ThunkHandler* handler) = 0;
    // Puts every register back to its reset state.
    virtual void reset() = 0;
    // Runs from `begin` until execution reaches `until`, `stop` is called, a fault happens, or
    // `budget` instructions have run (0: no budget).
    virtual CpuStop run(GuestAddr begin, GuestAddr until, uint64_t budget) = 0;
    // Asks the running `run` to return; safe to call from a thunk handler.
    virtual void stop() = 0;
    // From any thread: asks a running `run` to return as soon as it can, with `interrupted` set;
    // nothing happens when no run is under way. The run cannot be continued afterwards: after a
    // stop from another thread the emulator does not keep the instruction pointer exact (it may
    // name an earlier block than the one about to run), so this only serves to end a program.
    virtual void interrupt() = 0;

    virtual uint32_t reg(CpuReg r) = 0;
    virtual void setReg(CpuReg r, uint32_t value) = 0;
    virtual void setFpuControlWord(uint16_t value) = 0;
    virtual uint16_t fpuControlWord() = 0;
};

std::unique_ptr<Cpu> createUnicornCpu();

}  // namespace tx
