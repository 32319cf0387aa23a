// Allocator for the guest heap. Its bookkeeping lives on the host, so nothing the guest writes
// can corrupt it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include "guest_layout.h"

namespace tx {

class GuestHeap {
public:
    GuestHeap(GuestAddr begin, GuestAddr end);

    // A block of at least `size` bytes aligned to 16, or 0 when the heap cannot hold it.
    GuestAddr allocate(uint32_t size);
    // Frees a block returned by allocate; any other address is ignored. Returns whether it was.
    bool free(GuestAddr block);
    // The usable size of a live block, 0 for anything else.
    uint32_t blockSize(GuestAddr block) const;

    uint64_t bytesInUse() const { return inUse_; }
    size_t liveBlocks() const { return live_.size(); }

private:
    void insertFree(GuestAddr addr, uint32_t size);
    void eraseFree(std::map<GuestAddr, uint32_t>::iterator it);

    std::map<GuestAddr, uint32_t> freeByAddress_;
    std::set<std::pair<uint32_t, GuestAddr>> freeBySize_;
    std::unordered_map<GuestAddr, uint32_t> live_;
    uint64_t inUse_ = 0;
};

}  // namespace tx
