// Reading a module image: the code block, its symbols and its two kinds of fixups.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace tx {

// Bounds-checked little-endian reader over the image bytes; every read reports failure instead
// of running past the end.
class ImageReader {
public:
    explicit ImageReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool u32(uint32_t& out) {
        if (bytes_.size() - pos_ < 4) return false;
        std::memcpy(&out, bytes_.data() + pos_, 4);
        pos_ += 4;
        return true;
    }
    bool i32(int32_t& out) {
        uint32_t raw;
        if (!u32(raw)) return false;
        out = static_cast<int32_t>(raw);
        return true;
    }
    // A zero-terminated name; fails when no terminator follows inside the image.
    bool name(std::string_view& out) {
        if (pos_ >= bytes_.size()) return false;
        const auto* begin = bytes_.data() + pos_;
        const auto* zero = static_cast<const uint8_t*>(std::memchr(begin, 0, bytes_.size() - pos_));
        if (zero == nullptr) return false;
        out = {reinterpret_cast<const char*>(begin), static_cast<size_t>(zero - begin)};
        pos_ += out.size() + 1;
        return true;
    }
    bool bytes(size_t count, std::span<const uint8_t>& out) {
        if (bytes_.size() - pos_ < count) return false;
        out = bytes_.subspan(pos_, count);
        pos_ += count;
        return true;
    }
    size_t position() const { return pos_; }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

}  // namespace tx
