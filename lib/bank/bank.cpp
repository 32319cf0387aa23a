#include "bank.h"

#include <algorithm>
#include <cstring>

#include "tx_error.h"

namespace tx {

Bank::Block Bank::allocate(int64_t capacity) {
    // calloc hands large blocks over as untouched zero pages; at least one byte keeps data()
    // non-null for an empty bank.
    Block block(
        static_cast<uint8_t*>(std::calloc(static_cast<size_t>(std::max<int64_t>(capacity, 1)), 1)));
    if (block == nullptr) runtimeError("Out of memory");
    return block;
}

Bank::Bank(int32_t size) : size_(std::max(size, 0)), capacity_(bankCapacityFor(size_)) {
    data_ = allocate(capacity_);
}

void Bank::resize(int32_t newSize) {
    newSize = std::max(newSize, 0);
    if (newSize > size_) {
        if (newSize <= capacity_) {
            std::memset(data_.get() + size_, 0, static_cast<size_t>(newSize - size_));
        } else {
            const int64_t grown = std::max<int64_t>(capacity_ * 3 / 2, newSize);
            const int64_t capacity = bankCapacityFor(grown);
            Block block = allocate(capacity);  // zeroed: the added bytes read 0
            std::memcpy(block.get(), data_.get(), static_cast<size_t>(size_));
            data_ = std::move(block);
            capacity_ = capacity;
        }
    }
    size_ = newSize;
}

}  // namespace tx
