// A minimal x86 emitter for benchmark loops that run inside a guest.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "command_registry.h"
#include "guest_machine.h"

namespace tx::bench {

// The thunk address of a registered command or support routine.
inline GuestAddr commandAddress(const char* signature) {
    CommandRegistry registry;
    registry.fill();
    return registry.symbolValue(signature);
}

// A zero-terminated copy of text in the guest's heap, as compiled code keeps its literals.
inline GuestAddr guestLiteral(GuestMachine& machine, std::string_view text) {
    const auto size = static_cast<uint32_t>(text.size());
    const GuestAddr literal = machine.heap().allocate(size + 1);
    uint8_t* bytes = machine.memory().writableBytes(literal, size + 1);
    std::memcpy(bytes, text.data(), size);
    bytes[size] = 0;
    return literal;
}

class GuestCode {
public:
    GuestCode(GuestMachine& m, uint32_t capacity = 4096)
        : machine_(m), base_(m.heap().allocate(capacity)) {}
    GuestCode& bytes(std::initializer_list<uint8_t> b) {
        code_.insert(code_.end(), b);
        return *this;
    }
    GuestCode& dword(uint32_t v) {
        for (int i = 0; i < 4; ++i) code_.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    GuestCode& push(uint32_t v) { return bytes({0x68}).dword(v); }
    GuestCode& pushEax() { return bytes({0x50}); }
    GuestCode& call(GuestAddr target) {
        bytes({0xE8});
        return dword(target - (here() + 4));
    }
    GuestCode& popArgs(uint8_t n) { return bytes({0x83, 0xC4, static_cast<uint8_t>(4 * n)}); }
    // mov esi, count ... body ... dec esi; jnz body
    GuestCode& loopStart(uint32_t count) {
        bytes({0xBE}).dword(count);
        loop_ = here();
        return *this;
    }
    GuestCode& loopEnd() {
        bytes({0x4E, 0x0F, 0x85});  // dec esi; jnz rel32
        return dword(loop_ - (here() + 4));
    }
    GuestCode& ret() { return bytes({0xC3}); }
    GuestAddr here() const { return base_ + static_cast<uint32_t>(code_.size()); }
    GuestAddr load() {
        std::memcpy(machine_.memory().writableBytes(base_, static_cast<uint32_t>(code_.size())),
                    code_.data(), code_.size());
        return base_;
    }

private:
    GuestMachine& machine_;
    GuestAddr base_;
    GuestAddr loop_ = 0;
    std::vector<uint8_t> code_;
};

// Runs a guest loop of `perRun` items once per benchmark iteration.
inline void runGuestLoop(benchmark::State& state, GuestMachine& machine, GuestAddr entry,
                         uint32_t perRun) {
    for (auto _ : state) {
        if (machine.call(entry).kind != GuestEndKind::Returned)
            state.SkipWithError("guest did not return");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * perRun);
}

}  // namespace tx::bench
