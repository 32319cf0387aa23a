// Handles: opaque nonzero 32-bit values naming live objects of one kind. The table detects
// handles of another kind, of freed objects and plain garbage, so a command never follows one.
#pragma once

#include <cstdint>
#include <vector>

namespace tx {

// Handle bits: kind (4) | generation (8) | slot index + 1 (20).
template <typename T>
class HandleTable {
public:
    explicit HandleTable(uint32_t kind) : kind_(kind & 0xF) {}

    // Issues a handle for a live object (never 0). Returns 0 when a million are alive.
    uint32_t insert(T* object) {
        uint32_t index;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else {
            if (slots_.size() >= kMaxSlots) return 0;
            index = static_cast<uint32_t>(slots_.size());
            slots_.push_back(Slot{});
        }
        Slot& slot = slots_[index];
        slot.object = object;
        ++count_;
        return (kind_ << 28) | ((slot.generation & 0xFF) << 20) | (index + 1);
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
    static constexpr uint32_t kIndexMask = 0xFFFFF;
    static constexpr size_t kMaxSlots = kIndexMask;

    struct Slot {
        T* object = nullptr;
        uint32_t generation = 0;
    };

    const Slot* slotOf(uint32_t handle) const {
        const uint32_t index = (handle & kIndexMask) - 1;
        if ((handle >> 28) != kind_ || (handle & kIndexMask) == 0 || index >= slots_.size())
            return nullptr;
        const Slot& slot = slots_[index];
        if (slot.object == nullptr || ((handle >> 20) & 0xFF) != (slot.generation & 0xFF))
            return nullptr;
        return &slot;
    }

    uint32_t kind_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;
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
}  // namespace handle_kind

}  // namespace tx
