// Guest CPU on the Unicorn engine (32-bit x86).
#include <unicorn/unicorn.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cpu.h"
#include "engine_crash_guard.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace tx {
namespace {

int unicornReg(CpuReg r) {
    switch (r) {
        case CpuReg::Eax:
            return UC_X86_REG_EAX;
        case CpuReg::Ecx:
            return UC_X86_REG_ECX;
        case CpuReg::Edx:
            return UC_X86_REG_EDX;
        case CpuReg::Ebx:
            return UC_X86_REG_EBX;
        case CpuReg::Esp:
            return UC_X86_REG_ESP;
        case CpuReg::Ebp:
            return UC_X86_REG_EBP;
        case CpuReg::Esi:
            return UC_X86_REG_ESI;
        case CpuReg::Edi:
            return UC_X86_REG_EDI;
        case CpuReg::Eip:
            return UC_X86_REG_EIP;
    }
    return UC_X86_REG_INVALID;
}

void check(uc_err err, const char* what) {
    if (err != UC_ERR_OK) throw std::runtime_error(std::string(what) + ": " + uc_strerror(err));
}

class UnicornCpu final : public Cpu {
public:
    UnicornCpu() { openEngine(); }

    ~UnicornCpu() override {
        if (resetState_ != nullptr) uc_context_free(resetState_);
        if (uc_ != nullptr) uc_close(uc_);
    }

    UnicornCpu(const UnicornCpu&) = delete;
    UnicornCpu& operator=(const UnicornCpu&) = delete;

    void mapMemory(GuestAddr address, uint32_t size, uint8_t* host, bool writable) override {
        mappings_.push_back({address, size, host, writable});
        mapRegion(mappings_.back());
        if (!faultHooksInstalled_) installFaultHooks();
    }

    void setThunkRange(GuestAddr base, uint32_t slotSize, uint32_t count,
                       ThunkHandler* handler) override {
        thunkBase_ = base;
        thunkSlotSize_ = slotSize;
        thunkCount_ = count;
        thunkHandler_ = handler;
        installThunkHook();
    }

    void reset() override { uc_context_restore(uc_, resetState_); }

    CpuStop run(GuestAddr begin, GuestAddr until, uint64_t budget) override {
        stop_ = CpuStop{};
        EngineCrashGuard guard;
        if (sigsetjmp(guard.landing(), 1) != 0) return replaceCrashedEngine(begin);
        running_.store(true);
        const uc_err err = uc_emu_start(uc_, begin, until, 0, budget);
        running_.store(false);
        stop_.pc = reg(CpuReg::Eip);
        stop_.interrupted = interruptRequested_.exchange(false);
        if (err == UC_ERR_OK) return stop_;
        if (stop_.fault != CpuFault::None) return stop_;  // recorded by a hook
        switch (err) {
            case UC_ERR_READ_UNMAPPED:
            case UC_ERR_WRITE_UNMAPPED:
            case UC_ERR_FETCH_UNMAPPED:
                stop_.fault = CpuFault::UnmappedAccess;
                break;
            case UC_ERR_READ_PROT:
            case UC_ERR_WRITE_PROT:
            case UC_ERR_FETCH_PROT:
                stop_.fault = CpuFault::ProtectedAccess;
                break;
            case UC_ERR_INSN_INVALID:
                stop_.fault = CpuFault::InvalidInstruction;
                break;
            default:
                stop_.fault = CpuFault::Other;
                break;
        }
        return stop_;
    }

    void stop() override { uc_emu_stop(uc_); }

    void interrupt() override {
        std::lock_guard lock(engineMutex_);
        if (!running_.load()) return;  // a request between runs would outlive its purpose
        interruptRequested_.store(true);
        if (uc_ != nullptr) uc_emu_stop(uc_);
    }

    uint32_t reg(CpuReg r) override {
        uint32_t value = 0;
        uc_reg_read(uc_, unicornReg(r), &value);
        return value;
    }

    void setReg(CpuReg r, uint32_t value) override { uc_reg_write(uc_, unicornReg(r), &value); }

    void setFpuControlWord(uint16_t value) override {
        uint32_t cw = value;
        uc_reg_write(uc_, UC_X86_REG_FPCW, &cw);
    }

    uint16_t fpuControlWord() override {
        uint32_t cw = 0;
        uc_reg_read(uc_, UC_X86_REG_FPCW, &cw);
        return static_cast<uint16_t>(cw);
    }

private:
    struct Mapping {
        GuestAddr address;
        uint32_t size;
        uint8_t* host;
        bool writable;
    };

    void openEngine() {
        check(uc_open(UC_ARCH_X86, UC_MODE_32, &uc_), "uc_open");
        // The reset state of the CPU, restored before every run: the emulator does not clear
        // its record of a reported exception, so a second divide error would otherwise arrive
        // as a double fault.
        check(uc_context_alloc(uc_, &resetState_), "uc_context_alloc");
        check(uc_context_save(uc_, resetState_), "uc_context_save");
    }

    // The emulator crashed inside a run: its state cannot be trusted, so it is never used
    // again. Closing it runs under a guard of its own: should that crash too, the engine is
    // left unfreed. A fresh one takes its place over the same guest memory, and the run ends as
    // an instruction the CPU could not execute.
    CpuStop replaceCrashedEngine(GuestAddr begin) {
        running_.store(false);
        uc_engine* crashed = nullptr;
        {
            std::lock_guard lock(engineMutex_);
            crashed = std::exchange(uc_, nullptr);
        }
        closeCrashedEngine(crashed);
        uc_context_free(resetState_);
        resetState_ = nullptr;
        faultHooksInstalled_ = false;
        {
            std::lock_guard lock(engineMutex_);
            openEngine();
        }
        for (const Mapping& mapping : mappings_) mapRegion(mapping);
        if (!mappings_.empty()) installFaultHooks();
        if (thunkHandler_ != nullptr) installThunkHook();
        stop_ = CpuStop{};
        stop_.fault = CpuFault::EngineFailure;
        stop_.pc = begin;
        return stop_;
    }

    static void closeCrashedEngine(uc_engine* crashed) {
        EngineCrashGuard guard;
        if (sigsetjmp(guard.landing(), 1) == 0) {
            uc_close(crashed);
            return;
        }
#if defined(__SANITIZE_ADDRESS__)
        // Left unfreed on purpose: the leak checker is told so, and follows it from here.
        __lsan_ignore_object(crashed);
#endif
    }

    void mapRegion(const Mapping& mapping) {
        const uint32_t perms = UC_PROT_READ | UC_PROT_EXEC | (mapping.writable ? UC_PROT_WRITE : 0);
        check(uc_mem_map_ptr(uc_, mapping.address, mapping.size, perms, mapping.host),
              "uc_mem_map_ptr");
    }

    void installThunkHook() {
        uc_hook hook;
        check(uc_hook_add(uc_, &hook, UC_HOOK_CODE, reinterpret_cast<void*>(&onCode), this,
                          uint64_t{thunkBase_},
                          uint64_t{thunkBase_} + uint64_t{thunkSlotSize_} * thunkCount_ - 1),
              "uc_hook_add code");
    }

    void installFaultHooks() {
        uc_hook hook;
        check(uc_hook_add(uc_, &hook, UC_HOOK_MEM_UNMAPPED, reinterpret_cast<void*>(&onUnmapped),
                          this, 1, 0),
              "uc_hook_add unmapped");
        check(uc_hook_add(uc_, &hook, UC_HOOK_MEM_PROT, reinterpret_cast<void*>(&onProtected), this,
                          1, 0),
              "uc_hook_add prot");
        check(uc_hook_add(uc_, &hook, UC_HOOK_INTR, reinterpret_cast<void*>(&onInterrupt), this, 1,
                          0),
              "uc_hook_add intr");
        faultHooksInstalled_ = true;
    }

    static void onCode(uc_engine*, uint64_t address, uint32_t, void* user) {
        auto* self = static_cast<UnicornCpu*>(user);
        const auto offset = static_cast<uint32_t>(address) - self->thunkBase_;
        if (offset % self->thunkSlotSize_ != 0) return;
        EngineCrashGuard::HostCode hostCode;  // a crash in a command is not the emulator's
        self->thunkHandler_->onThunk(offset / self->thunkSlotSize_);
    }

    static bool onUnmapped(uc_engine*, uc_mem_type, uint64_t address, int, int64_t, void* user) {
        auto* self = static_cast<UnicornCpu*>(user);
        self->stop_.fault = CpuFault::UnmappedAccess;
        self->stop_.faultAddress = static_cast<GuestAddr>(address);
        return false;
    }

    static bool onProtected(uc_engine*, uc_mem_type, uint64_t address, int, int64_t, void* user) {
        auto* self = static_cast<UnicornCpu*>(user);
        self->stop_.fault = CpuFault::ProtectedAccess;
        self->stop_.faultAddress = static_cast<GuestAddr>(address);
        return false;
    }

    static void onInterrupt(uc_engine* uc, uint32_t number, void* user) {
        auto* self = static_cast<UnicornCpu*>(user);
        self->stop_.fault = number == 0 ? CpuFault::DivideError : CpuFault::Other;
        uc_emu_stop(uc);
    }

    uc_engine* uc_ = nullptr;
    std::mutex engineMutex_;  // uc_ against interrupt() from another thread
    std::atomic<bool> running_{false};
    std::atomic<bool> interruptRequested_{false};
    uc_context* resetState_ = nullptr;
    bool faultHooksInstalled_ = false;
    GuestAddr thunkBase_ = 0;
    uint32_t thunkSlotSize_ = 1;
    uint32_t thunkCount_ = 0;
    std::vector<Mapping> mappings_;
    ThunkHandler* thunkHandler_ = nullptr;
    CpuStop stop_;
};

}  // namespace

std::unique_ptr<Cpu> createUnicornCpu() {
    return std::make_unique<UnicornCpu>();
}

}  // namespace tx
