// The module image format, written and read here and nowhere else (the linker, tximage and the
// tests all use this header). Little-endian and packed:
//
//   u32 code size, then the code bytes;
//   three record tables in this order: symbols, relative fixups, absolute fixups. Each is an
//   i32 count (one below 1 means no records) and that many records: a name (its bytes and one
//   0 byte) and a u32 offset into the code block.
//
// A symbol names the code at its offset. A fixup names a target; the 32-bit word at its offset
// gets the target's address added (absolute) or the target's distance from the word (relative).
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tx {

// Bounds-checked reader over the image bytes; every read reports failure instead of running
// past the end.
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
    // The code size and the code block.
    bool code(std::span<const uint8_t>& out) {
        uint32_t size;
        return u32(size) && bytes(size, out);
    }
    bool record(std::string_view& name, uint32_t& offset) {
        return this->name(name) && u32(offset);
    }
    size_t position() const { return pos_; }
    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

// Appends the fields of an image in format order. It writes what it is given: checking that
// records fit the code block, and that counts tell the truth, is up to the caller.
class ImageWriter {
public:
    // Room for an image of `bytes` bytes, so writing it needs no further allocation.
    void reserve(size_t bytes) { bytes_.reserve(bytes); }
    void u32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<uint8_t>(value >> shift));
    }
    void code(std::span<const uint8_t> code) {
        u32(static_cast<uint32_t>(code.size()));
        bytes_.insert(bytes_.end(), code.begin(), code.end());
    }
    void count(int32_t count) { u32(static_cast<uint32_t>(count)); }
    void record(std::string_view name, uint32_t offset) {
        bytes_.insert(bytes_.end(), name.begin(), name.end());
        bytes_.push_back(0);
        u32(offset);
    }
    // A table with its true count.
    template <typename Records>
    void table(const Records& records) {
        count(static_cast<int32_t>(records.size()));
        for (const auto& [name, offset] : records) record(name, offset);
    }

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

struct ImageRecord {
    std::string name;
    uint32_t offset;
    bool operator==(const ImageRecord&) const = default;
};

// An image taken apart.
struct ModuleImage {
    std::vector<uint8_t> code;
    std::vector<ImageRecord> symbols;
    std::vector<ImageRecord> relativeFixups;
    std::vector<ImageRecord> absoluteFixups;
};

inline std::vector<uint8_t> writeModuleImage(const ModuleImage& image) {
    ImageWriter out;
    out.code(image.code);
    out.table(image.symbols);
    out.table(image.relativeFixups);
    out.table(image.absoluteFixups);
    return out.take();
}

// The image the bytes hold; nullopt unless they are exactly one image (nothing missing, nothing
// after the last record). Record offsets are not checked against the code block.
inline std::optional<ModuleImage> readModuleImage(std::span<const uint8_t> bytes) {
    ImageReader in(bytes);
    ModuleImage image;
    std::span<const uint8_t> code;
    if (!in.code(code)) return std::nullopt;
    image.code.assign(code.begin(), code.end());
    for (std::vector<ImageRecord>* table :
         {&image.symbols, &image.relativeFixups, &image.absoluteFixups}) {
        int32_t count;
        if (!in.i32(count)) return std::nullopt;
        for (int32_t i = 0; i < count; ++i) {
            std::string_view name;
            uint32_t offset;
            if (!in.record(name, offset)) return std::nullopt;
            table->push_back({std::string(name), offset});
        }
    }
    if (!in.atEnd()) return std::nullopt;
    return image;
}

}  // namespace tx
