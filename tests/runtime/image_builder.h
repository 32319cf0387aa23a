// Builds module images byte by byte for linker tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tx::test {

struct ImageBuilder {
    std::vector<uint8_t> code;
    std::vector<std::pair<std::string, uint32_t>> symbols, relative, absolute;
    // Overrides for the written counts (to build images that lie about them).
    std::optional<int32_t> symbolCount, relativeCount, absoluteCount;

    static void put32(std::vector<uint8_t>& out, uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    static void putRecords(std::vector<uint8_t>& out, std::optional<int32_t> count,
                           const std::vector<std::pair<std::string, uint32_t>>& records) {
        put32(out, static_cast<uint32_t>(count.value_or(static_cast<int32_t>(records.size()))));
        for (const auto& [name, offset] : records) {
            out.insert(out.end(), name.begin(), name.end());
            out.push_back(0);
            put32(out, offset);
        }
    }
    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out;
        put32(out, static_cast<uint32_t>(code.size()));
        out.insert(out.end(), code.begin(), code.end());
        putRecords(out, symbolCount, symbols);
        putRecords(out, relativeCount, relative);
        putRecords(out, absoluteCount, absolute);
        return out;
    }
    void setWord(uint32_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i) code[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
};

}  // namespace tx::test
