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

// A guest address of a T, as a command receives or returns it. It is only a number on the host:
// what it points at is read and written through GuestMemory, which checks the range. Made from
// the number the guest hands over; T may be a tag type that names a language structure.
template <typename T>
class GuestPtr {
public:
    GuestPtr() = default;
    GuestPtr(GuestAddr address) : address_(address) {}
    friend bool operator==(GuestPtr, GuestPtr) = default;

    GuestAddr address() const { return address_; }
    bool isNull() const { return address_ == 0; }
    // The U that lies offset bytes further on.
    template <typename U>
    GuestPtr<U> field(uint32_t offset) const {
        return GuestPtr<U>(address_ + offset);
    }

private:
    GuestAddr address_ = 0;
};

class GuestMemory {
public:
    GuestMemory();
    ~GuestMemory();
    GuestMemory(const GuestMemory&) = delete;
    GuestMemory& operator=(const GuestMemory&) = delete;

    // True when [addr, addr + len) lies inside one mapped range of the guest.
    static bool isMapped(GuestAddr addr, uint32_t len) {
        const uint64_t end = uint64_t{addr} + len;
        return (addr >= layout::kThunkBase &&
                end <= layout::kRuntimeDataBase + layout::kRuntimeDataSize) ||
               (addr >= layout::kHeapBase && end <= layout::kHeapEnd) ||
               (addr >= layout::kStackBase && end <= layout::kArenaSize);
    }

    // True when [addr, addr + len) lies inside one range the guest may store to: everything
    // mapped except the thunk page, which guest code can only execute and read.
    static bool isWritable(GuestAddr addr, uint32_t len) {
        static_assert(layout::kThunkBase + layout::kThunkAreaSize == layout::kRuntimeDataBase);
        return isMapped(addr, len) && addr >= layout::kRuntimeDataBase;
    }

    // Host pointer to [addr, addr + len) for reading; a runtime error when the range is not
    // mapped.
    const uint8_t* bytes(GuestAddr addr, uint32_t len) const {
        if (!isMapped(addr, len)) illegalGuestAddress();
        return base_ + addr;
    }

    // Host pointer to [addr, addr + len) for writing; the same runtime error a guest store gets
    // when the range is not mapped or not writable, so host writes never change read-only pages.
    uint8_t* writableBytes(GuestAddr addr, uint32_t len) {
        if (!isWritable(addr, len)) illegalGuestAddress();
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
        std::memcpy(writableBytes(addr, sizeof(T)), &value, sizeof(T));
    }

    template <typename T>
    T read(GuestPtr<T> p) const {
        return read<T>(p.address());
    }
    template <typename T>
    void write(GuestPtr<T> p, const T& value) {
        write<T>(p.address(), value);
    }

    // A zero-terminated guest string, at most maxLen bytes; a runtime error when it runs off
    // the mapped range before its terminator.
    std::string_view cString(GuestAddr addr, uint32_t maxLen = 1u << 20) const;

private:
    // The machine maps the arena into its CPU once; nothing else sees the host base.
    friend class GuestMachine;
    uint8_t* hostBase() const { return base_; }

    uint8_t* base_ = nullptr;
};

}  // namespace tx
