// The guest arena and the checked accessor every host access to guest memory goes through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "guest_layout.h"

namespace tx {

// Raised as a runtime error when the host is asked to follow a guest address that is not mapped.
[[noreturn]] void illegalGuestAddress();

class GuestMemory {
public:
    GuestMemory();
    ~GuestMemory();
    GuestMemory(const GuestMemory&) = delete;
    GuestMemory& operator=(const GuestMemory&) = delete;

    uint8_t* hostBase() const { return base_; }

    // True when [addr, addr + len) lies inside one mapped range of the guest.
    static bool isMapped(GuestAddr addr, uint32_t len) {
        const uint64_t end = uint64_t{addr} + len;
        return (addr >= layout::kThunkBase &&
                end <= layout::kRuntimeDataBase + layout::kRuntimeDataSize) ||
               (addr >= layout::kHeapBase && end <= layout::kHeapEnd) ||
               (addr >= layout::kStackBase && end <= layout::kArenaSize);
    }

    // Host pointer to [addr, addr + len); a runtime error when the range is not mapped.
    uint8_t* bytes(GuestAddr addr, uint32_t len) const {
        if (!isMapped(addr, len)) illegalGuestAddress();
        return base_ + addr;
    }

    template <typename T>
    T read(GuestAddr addr) const {
        static_assert(std::is_trivially_copyable_v<T>);
        T value;
        std::memcpy(&value, bytes(addr, sizeof(T)), sizeof(T));
        return value;
    }

    template <typename T>
    void write(GuestAddr addr, const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        std::memcpy(bytes(addr, sizeof(T)), &value, sizeof(T));
    }

    // A zero-terminated guest string, at most maxLen bytes; a runtime error when it runs off
    // the mapped range before its terminator.
    std::string_view cString(GuestAddr addr, uint32_t maxLen = 1u << 20) const;

    // Unchecked host pointer for ranges the runtime itself laid out (thunks, data symbols).
    uint8_t* hostPointerUnchecked(GuestAddr addr) const { return base_ + addr; }

private:
    uint8_t* base_ = nullptr;
};

}  // namespace tx
