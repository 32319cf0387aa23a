// A bank: a block of raw host memory the program reads and writes at byte offsets.
//
// size is what the program sees; capacity, a multiple of 16 and at least size, is what is
// allocated. Growing past the capacity takes 1.5 times the old capacity (at least the new size)
// and moves the block; shrinking keeps the block. Every byte that becomes part of the bank,
// at creation or by growing, starts as 0.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace tx {

class Bank {
public:
    // A bank of size bytes, all 0 (a negative size counts as 0). Raises "Out of memory" when
    // the block cannot be allocated.
    explicit Bank(int32_t size);

    int32_t size() const { return size_; }
    int64_t capacity() const { return capacity_; }
    uint8_t* data() { return data_.get(); }
    const uint8_t* data() const { return data_.get(); }

    // Changes the size keeping the contents; a negative size counts as 0.
    void resize(int32_t newSize);

    // True when [offset, offset + count) lies inside the bank.
    bool holds(int64_t offset, int64_t count) const {
        return offset >= 0 && count >= 0 && offset + count <= size_;
    }

private:
    struct Free {
        void operator()(uint8_t* block) const { std::free(block); }
    };
    using Block = std::unique_ptr<uint8_t[], Free>;

    // A zeroed block of capacity bytes; "Out of memory" when there is none.
    static Block allocate(int64_t capacity);

    Block data_;
    int32_t size_ = 0;
    int64_t capacity_ = 0;
};

// size rounded up to a multiple of 16.
inline int64_t bankCapacityFor(int64_t size) {
    return (size + 15) / 16 * 16;
}

}  // namespace tx
