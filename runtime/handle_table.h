// Handles: opaque nonzero 32-bit values naming live objects of one kind. The table detects
// handles of another kind, of freed objects and plain garbage, so a command never follows one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace tx {

// Handle bits: kind (4) | generation (10) | slot index + 1 (18).
//
// A freed slot waits in a queue until kReuseDelay others are free, and its generation counts
// its reuses, so a stale handle comes back to life only after about a million closes and opens
// of that kind, not after a few hundred of one open/close loop.
template <typename T>
class HandleTable {
public:
    explicit HandleTable(uint32_t kind) : kind_(kind & 0xF) {}

    // Issues a handle for a live object (never 0). Returns 0 when kMaxSlots are alive.
    uint32_t insert(T* object) {
        uint32_t index;
        if (free_.size() > kReuseDelay || (!free_.empty() && slots_.size() >= kMaxSlots)) {
            index = free_.front();
            free_.pop_front();
        } else {
            if (slots_.size() >= kMaxSlots) return 0;
            index = static_cast<uint32_t>(slots_.size());
            slots_.push_back(Slot{});
        }
        Slot& slot = slots_[index];
        slot.object = object;
        ++count_;
        return (kind_ << 28) | ((slot.generation & kGenerationMask) << kIndexBits) | (index + 1);
    }

    // The live object a handle names, or null.
    T* find(uint32_t handle) const {
        const Slot* slot = slotOf(handle);
        return slot != nullptr ? slot->object : nullptr;
    }

    // Forgets a handle and returns its object (null when it named none).
    T* remove(uint32_t handle) {
        Slot* slot = const_cast<Slot*>(slotOf(handle));
        if (slot == nullptr) return nullptr;
        T* object = slot->object;
        slot->object = nullptr;
        ++slot->generation;
        free_.push_back((handle & kIndexMask) - 1);
        --count_;
        return object;
    }

    template <typename F>
    void forEach(F&& visit) const {
        for (const Slot& slot : slots_)
            if (slot.object != nullptr) visit(slot.object);
    }

    void clear() {
        slots_.clear();
        free_.clear();
        count_ = 0;
    }

    size_t size() const { return count_; }

private:
    static constexpr uint32_t kIndexBits = 18;
    static constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
    static constexpr uint32_t kGenerationMask = 0x3FF;
    static constexpr size_t kMaxSlots = kIndexMask;
    static constexpr size_t kReuseDelay = 1024;

    struct Slot {
        T* object = nullptr;
        uint32_t generation = 0;
    };

    const Slot* slotOf(uint32_t handle) const {
        const uint32_t index = (handle & kIndexMask) - 1;
        if ((handle >> 28) != kind_ || (handle & kIndexMask) == 0 || index >= slots_.size())
            return nullptr;
        const Slot& slot = slots_[index];
        if (slot.object == nullptr ||
            ((handle >> kIndexBits) & kGenerationMask) != (slot.generation & kGenerationMask))
            return nullptr;
        return &slot;
    }

    uint32_t kind_;
    std::vector<Slot> slots_;
    std::deque<uint32_t> free_;  // oldest freed first
    size_t count_ = 0;
};

// Kinds, one per table, so a handle of one kind never names an object of another.
namespace handle_kind {
inline constexpr uint32_t kTimer = 1;
inline constexpr uint32_t kStream = 2;
inline constexpr uint32_t kDirectory = 3;
inline constexpr uint32_t kBank = 4;
inline constexpr uint32_t kTcpServer = 5;
inline constexpr uint32_t kBuffer = 6;  // canvases: display buffers, image frames
inline constexpr uint32_t kImage = 7;   // images: ordered lists of frame canvases
inline constexpr uint32_t kFont = 8;    // fonts of LoadFont
inline constexpr uint32_t kSound = 9;
inline constexpr uint32_t kChannel = 10;
}  // namespace handle_kind

}  // namespace tx
