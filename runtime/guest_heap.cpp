#include "guest_heap.h"

namespace tx {

namespace {
constexpr uint32_t kAlign = 16;
}

GuestHeap::GuestHeap(GuestAddr begin, GuestAddr end) {
    begin = (begin + kAlign - 1) & ~(kAlign - 1);
    if (end > begin) insertFree(begin, end - begin);
}

void GuestHeap::insertFree(GuestAddr addr, uint32_t size) {
    freeByAddress_.emplace(addr, size);
    freeBySize_.emplace(size, addr);
}

void GuestHeap::eraseFree(std::map<GuestAddr, uint32_t>::iterator it) {
    freeBySize_.erase({it->second, it->first});
    freeByAddress_.erase(it);
}

GuestAddr GuestHeap::allocate(uint32_t size) {
    if (size == 0) size = 1;
    if (size > UINT32_MAX - kAlign) return 0;
    size = (size + kAlign - 1) & ~(kAlign - 1);
    // Best fit, lowest address among equals: keeps large free ranges whole.
    auto fit = freeBySize_.lower_bound({size, 0});
    if (fit == freeBySize_.end()) return 0;
    const auto [freeSize, addr] = *fit;
    eraseFree(freeByAddress_.find(addr));
    if (freeSize > size) insertFree(addr + size, freeSize - size);
    live_.emplace(addr, size);
    inUse_ += size;
    return addr;
}

bool GuestHeap::free(GuestAddr block) {
    auto live = live_.find(block);
    if (live == live_.end()) return false;
    GuestAddr addr = block;
    uint32_t size = live->second;
    inUse_ -= size;
    live_.erase(live);
    // Coalesce with the free neighbours on both sides.
    auto next = freeByAddress_.lower_bound(addr);
    if (next != freeByAddress_.end() && next->first == addr + size) {
        size += next->second;
        auto after = std::next(next);
        eraseFree(next);
        next = after;
    }
    if (next != freeByAddress_.begin()) {
        auto prev = std::prev(next);
        if (prev->first + prev->second == addr) {
            addr = prev->first;
            size += prev->second;
            eraseFree(prev);
        }
    }
    insertFree(addr, size);
    return true;
}

uint32_t GuestHeap::blockSize(GuestAddr block) const {
    auto live = live_.find(block);
    return live == live_.end() ? 0 : live->second;
}

}  // namespace tx
