// Fixed layout of the guest address space. Every guest program sees the same addresses.
#pragma once

#include <cstdint>

namespace tx {

using GuestAddr = uint32_t;

namespace layout {

// [0, kNullGuardEnd) is never mapped, so a null dereference faults.
inline constexpr GuestAddr kNullGuardEnd = 0x0001'0000;

// Thunks: one 16-byte entry per command; the code hook covers exactly this range.
inline constexpr GuestAddr kThunkBase = 0x0001'0000;
inline constexpr uint32_t kThunkSize = 16;
inline constexpr uint32_t kThunkCount = 4096;
inline constexpr uint32_t kThunkAreaSize = kThunkSize * kThunkCount;  // 64 KiB
// Slot 0 is not a command: it is where the entry point returns to.
inline constexpr GuestAddr kReturnStub = kThunkBase;

// Runtime data: the float result cell and the data symbols compiled code links against.
inline constexpr GuestAddr kRuntimeDataBase = 0x0002'0000;
inline constexpr uint32_t kRuntimeDataSize = 0x0001'0000;
inline constexpr GuestAddr kFloatResultCell = kRuntimeDataBase;
inline constexpr GuestAddr kDataSymbolsBase = kRuntimeDataBase + 0x100;

// Code block and guest heap share one mapped range; the code block is its first allocation.
inline constexpr GuestAddr kHeapBase = 0x0010'0000;

inline constexpr uint64_t kArenaSize = 0x4000'0000;  // 1 GiB, committed lazily
inline constexpr uint32_t kStackSize = 8u << 20;
inline constexpr uint32_t kStackGuardSize = 1u << 20;
inline constexpr GuestAddr kStackTop = static_cast<GuestAddr>(kArenaSize - 0x1000);
inline constexpr GuestAddr kStackBase = kStackTop - kStackSize + 0x1000;
inline constexpr GuestAddr kStackGuardBase = kStackBase - kStackGuardSize;
inline constexpr GuestAddr kHeapEnd = kStackGuardBase;

inline constexpr GuestAddr thunkAddress(uint32_t slot) {
    return kThunkBase + slot * kThunkSize;
}

}  // namespace layout
}  // namespace tx
