#include "guest_memory.h"

#include <sys/mman.h>

#include <new>

#include "tx_error.h"

namespace tx {

void illegalGuestAddress() {
    runtimeError("Illegal memory address");
}

GuestMemory::GuestMemory() {
    // Reserved once, committed by the kernel page by page as the guest touches it.
    void* p = mmap(nullptr, layout::kArenaSize, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    base_ = static_cast<uint8_t*>(p);
}

GuestMemory::~GuestMemory() {
    if (base_ != nullptr) munmap(base_, layout::kArenaSize);
}

std::string_view GuestMemory::cString(GuestAddr addr, uint32_t maxLen) const {
    // Walk within the mapped range that holds addr; the terminator must appear inside it.
    uint32_t len = 0;
    while (true) {
        if (len >= maxLen || !isMapped(addr + len, 1)) illegalGuestAddress();
        if (base_[uint64_t{addr} + len] == 0) break;
        ++len;
    }
    return {reinterpret_cast<const char*>(base_ + addr), len};
}

}  // namespace tx
