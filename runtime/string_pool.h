// The host-side pool that every string lives in, and the module state that owns it.
//
// Compiled code holds strings as 32-bit handles. A handle carries a slot index and the slot's
// generation, so a stale or made-up handle is recognised in O(1) and never reaches a dead string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tx {

// The longest string a program builds; a longer result is the runtime error
// "Out of string memory" instead of an allocation that could take the host down.
inline constexpr size_t kMaxStringBytes = size_t{1} << 28;

class StringPool {
public:
    static constexpr uint32_t kBlockSize = 512;
    static constexpr uint32_t kIndexBits = 22;
    static constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
    static constexpr uint32_t kMaxGeneration = (1u << (32 - kIndexBits)) - 1;
    static constexpr uint32_t kMaxBlocks = (kIndexMask + 1) / kBlockSize;
    // A released slot keeps a text buffer up to this size for the next string; larger ones are
    // given back, so a few long strings cannot pin memory in every slot they pass through.
    static constexpr size_t kKeptCapacity = 1024;

    // firstGeneration (1 to kMaxGeneration) seeds fresh slots; pools made one after another
    // use different seeds so that handles of an earlier pool do not name strings of this one.
    explicit StringPool(uint32_t firstGeneration = 1);
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;

    // A new string holding a copy of text: the head of the free list, appended to the used list.
    // Grows the pool by one block when the free list is empty.
    uint32_t create(std::string_view text);
    // Puts a live string back at the tail of the free list; anything else is ignored.
    void release(uint32_t handle);
    // Releases every live string, oldest first.
    void releaseAll();

    bool isLive(uint32_t handle) const { return liveSlot(handle) != nullptr; }
    // The text of a live string (valid until it changes or is released); empty otherwise.
    std::string_view text(uint32_t handle) const;
    // The text of a live string for changing it in place (it stays 0-terminated); null otherwise.
    std::string* mutableText(uint32_t handle);

    int32_t liveStrings() const { return liveStrings_; }
    size_t blockCount() const { return blocks_.size(); }
    uint32_t freeCount() const { return free_.size; }
    uint32_t usedCount() const { return used_.size; }
    // Live handles in order of construction (diagnostics and tests).
    std::vector<uint32_t> usedHandles() const;

    static uint32_t slotIndex(uint32_t handle) { return handle & kIndexMask; }
    static uint32_t makeHandle(uint32_t generation, uint32_t index) {
        return (generation << kIndexBits) | index;
    }

private:
    static constexpr uint32_t kNil = 0xFFFF'FFFF;

    struct Slot {
        std::string text;
        uint32_t next = kNil;
        uint32_t prev = kNil;
        uint32_t generation = 0;
        bool live = false;
    };
    struct List {
        uint32_t head = kNil;
        uint32_t tail = kNil;
        uint32_t size = 0;
    };

    Slot& slot(uint32_t index) const { return blocks_[index / kBlockSize][index % kBlockSize]; }
    Slot* liveSlot(uint32_t handle) const;
    void grow();
    void pushBack(List& list, uint32_t index);
    void unlink(List& list, uint32_t index);

    std::vector<std::unique_ptr<Slot[]>> blocks_;
    List used_;
    List free_;
    uint32_t firstGeneration_;
    int32_t liveStrings_ = 0;
};

// Basic create: a fresh, empty pool (any previous one is destroyed first).
void stringsCreate();
// Basic destroy: releases every string still live and frees the pool's blocks.
void stringsDestroy();
// Live strings of the current pool; 0 when there is none.
int32_t liveStrings();
// The current pool. Made on first use when no stringsCreate came before it, so commands can be
// called outside a program run (tests, tools).
StringPool& stringPool();

}  // namespace tx
