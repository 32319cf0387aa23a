// Builds module images for linker tests, including images that lie about their counts.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "module_image.h"

namespace tx::test {

struct ImageBuilder {
    std::vector<uint8_t> code;
    std::vector<ImageRecord> symbols, relative, absolute;
    // Overrides for the written counts (to build images that lie about them).
    std::optional<int32_t> symbolCount, relativeCount, absoluteCount;

    // A little-endian word, as code and images store them.
    static void put32(std::vector<uint8_t>& out, uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t> bytes() const {
        ImageWriter out;
        out.code(code);
        table(out, symbolCount, symbols);
        table(out, relativeCount, relative);
        table(out, absoluteCount, absolute);
        return out.take();
    }
    void setWord(uint32_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i) code[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }

private:
    static void table(ImageWriter& out, std::optional<int32_t> count,
                      const std::vector<ImageRecord>& records) {
        out.count(count.value_or(static_cast<int32_t>(records.size())));
        for (const ImageRecord& r : records) out.record(r.name, r.offset);
    }
};

}  // namespace tx::test
