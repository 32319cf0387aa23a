#include "guest_machine.h"

#include <cstring>
#include <exception>
#include <new>
#include <optional>

#include "preempt_clock.h"
#include "tx_error.h"
#include "type_descriptors.h"

namespace tx {
namespace {

// x87 control words: single precision, round to nearest, all exceptions masked; and the
// double-precision word restored after the run.
constexpr uint16_t kGuestFpuControl = 0x007F;
constexpr uint16_t kRestoredFpuControl = 0x027F;

constexpr uint8_t kNop = 0x90, kRet = 0xC3;
constexpr uint8_t kUd2[] = {0x0F, 0x0B};

}  // namespace

GuestMachine::GuestMachine(const CommandTable& table)
    : cpu_(createUnicornCpu()), heap_(layout::kHeapBase, layout::kHeapEnd), table_(table) {
    uint8_t* base = memory_.hostBase();
    cpu_->mapMemory(layout::kThunkBase, layout::kThunkAreaSize, base + layout::kThunkBase, false);
    cpu_->mapMemory(layout::kRuntimeDataBase, layout::kRuntimeDataSize,
                    base + layout::kRuntimeDataBase, true);
    cpu_->mapMemory(layout::kHeapBase, layout::kHeapEnd - layout::kHeapBase,
                    base + layout::kHeapBase, true);
    cpu_->mapMemory(layout::kStackBase,
                    static_cast<uint32_t>(layout::kArenaSize - layout::kStackBase),
                    base + layout::kStackBase, true);
    writeThunks();
    writeTypeDescriptors(memory_);
    cpu_->setThunkRange(layout::kThunkBase, layout::kThunkSize, table_.slotCount(), this);
}

GuestMachine::~GuestMachine() = default;

void GuestMachine::writeThunks() {
    for (uint32_t slot = 0; slot < layout::kThunkCount; ++slot) {
        uint8_t* p = memory_.hostBase() + layout::thunkAddress(slot);  // read-only to the guest
        const CommandDef* def = table_.slot(slot);
        if (def == nullptr) {
            std::memcpy(p, kUd2, sizeof kUd2);
            continue;
        }
        // The hooked entry byte, then the result: EAX is set by the host; a float is loaded
        // from the result cell into ST(0).
        *p++ = kNop;
        if (def->result == ResultKind::Float) {
            const uint32_t cell = layout::kFloatResultCell;
            *p++ = 0xD9;  // fld dword [cell]
            *p++ = 0x05;
            std::memcpy(p, &cell, 4);
            p += 4;
        }
        *p = kRet;
    }
}

GuestEnd GuestMachine::call(GuestAddr entry) {
    pendingEnd_ = GuestEnd{};
    endRequested_ = false;
    const GuestAddr sp = layout::kStackTop - 4;
    memory_.write<uint32_t>(sp, layout::kReturnStub);
    cpu_->reset();
    cpu_->setReg(CpuReg::Esp, sp);
    cpu_->setReg(CpuReg::Ebp, 0);
    cpu_->setFpuControlWord(kGuestFpuControl);
    CpuStop stop;
    {
        std::optional<preempt_clock::Armed> serviced;
        if (budget_ == 0) serviced.emplace(*this);
        enterGuestCode();
        stop = cpu_->run(entry, layout::kReturnStub, budget_);
        leaveGuestCode();
    }
    cpu_->setFpuControlWord(kRestoredFpuControl);
    serviceDue_.store(false, std::memory_order_relaxed);
    if (stop.interrupted && !endRequested_ && stop.fault == CpuFault::None &&
        stop.pc != layout::kReturnStub) {
        // The end of the program was requested while guest code ran: the window is served once
        // more (the request that ended it is taken from the queue) and the program ends.
        if (serviceHandler_ != nullptr) serviceHandler_();
        return {GuestEndKind::Ended, nullptr};
    }

    if (endRequested_) return pendingEnd_;
    if (stop.fault != CpuFault::None) return {GuestEndKind::Fault, faultMessage(stop)};
    if (stop.pc == layout::kReturnStub) return {GuestEndKind::Returned, nullptr};
    // Without a budget the emulator stops early only on an instruction it will not run (hlt).
    if (budget_ == 0) return {GuestEndKind::Fault, "Unknown runtime exception"};
    return {GuestEndKind::BudgetSpent, nullptr};
}

void GuestMachine::leaveGuestCode() {
    int expected = kInGuestCode;
    while (!occupant_.compare_exchange_weak(expected, kInHost, std::memory_order_acquire)) {
        occupant_.wait(kServedByClock, std::memory_order_relaxed);
        expected = kInGuestCode;
    }
}

bool GuestMachine::serveWhileInGuestCode(OutsideService serve, void* context) {
    if (!serviceDue_.load(std::memory_order_relaxed)) return false;  // a command took the request
    int expected = kInGuestCode;
    if (!occupant_.compare_exchange_strong(expected, kServedByClock, std::memory_order_acquire))
        return false;
    serve(context);
    occupant_.store(kInGuestCode, std::memory_order_release);
    occupant_.notify_one();
    return true;
}

void GuestMachine::onThunk(uint32_t slot) {
    const CommandDef* def = table_.slot(slot);
    if (def == nullptr || endRequested_) return;  // an unused slot faults on its ud2
    // The command runs in the host; the guest code it returns to is guest code again.
    leaveGuestCode();
    struct BackToGuestCode {
        GuestMachine& machine;
        ~BackToGuestCode() { machine.enterGuestCode(); }
    } const backToGuestCode{*this};
    if (serviceDue_.load(std::memory_order_relaxed)) {
        serviceDue_.store(false, std::memory_order_relaxed);
        if (serviceHandler_ != nullptr && !serviceHandler_()) {
            pendingEnd_ = {GuestEndKind::Ended, nullptr};
            endRequested_ = true;
            cpu_->stop();
            return;
        }
    }
    ++commandCalls_;
    try {
        const uint32_t esp = cpu_->reg(CpuReg::Esp);
        const uint8_t* args = memory_.bytes(esp + 4, uint32_t{def->argWords} * 4);
        const uint32_t bits = def->dispatch(*this, args);
        switch (def->result) {
            case ResultKind::Int:
            case ResultKind::String:
                cpu_->setReg(CpuReg::Eax, bits);
                break;
            case ResultKind::Float:
                memory_.write<uint32_t>(layout::kFloatResultCell, bits);
                break;
            case ResultKind::None:
                break;
        }
        return;
    } catch (const TxEx& ex) {
        pendingEnd_ = {GuestEndKind::Ended, ex.message};
    } catch (const std::bad_alloc&) {
        pendingEnd_ = {GuestEndKind::Fault, "Out of memory"};
    } catch (...) {
        // Nothing may unwind through the emulator; a host failure ends the program instead.
        pendingEnd_ = {GuestEndKind::Fault, "Unknown runtime exception"};
    }
    endRequested_ = true;
    cpu_->stop();
}

const char* GuestMachine::faultMessage(const CpuStop& stop) {
    switch (stop.fault) {
        case CpuFault::UnmappedAccess:
        case CpuFault::ProtectedAccess:
            if (stop.faultAddress >= layout::kStackGuardBase &&
                stop.faultAddress < layout::kStackBase)
                return "Stack overflow!";
            return "Illegal memory address";
        case CpuFault::InvalidInstruction:
        case CpuFault::EngineFailure:
            return "Illegal instruction";
        case CpuFault::DivideError:
            return divideErrorMessage(stop.pc);
        case CpuFault::Other:
        case CpuFault::None:
            break;
    }
    return "Unknown runtime exception";
}

const char* GuestMachine::divideErrorMessage(GuestAddr pc) {
    // #DE covers both a zero divisor and a quotient that does not fit; only the first is
    // "Integer divide by zero".
    uint32_t divisor = 0;
    if (readDivisor(memory_, *cpu_, pc, divisor) && divisor != 0)
        return "Unknown runtime exception";
    return "Integer divide by zero";
}

}  // namespace tx
