// A module image linked at a base address by reading its format directly, independently of the
// runtime's linker: what the linker fuzz and the GNU ld comparison check linking against. The
// reading also notes where the image's fields and records lie, for mutations to aim at.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "module_image.h"

namespace tx::test {

struct ImageReading {
    struct Record {
        size_t begin, end, countAt;
    };
    bool linked = false;
    std::optional<std::string> missing;  // the first name nothing defines (the link fails there)
    std::vector<uint8_t> code;           // the code block once patched
    std::vector<size_t> fields;          // offsets of the 32-bit size, count and offset fields
    std::vector<Record> records;
};

// The address of a name the image does not define, or nullopt when nothing defines it.
using OutsideSymbols = std::function<std::optional<uint32_t>(const std::string&)>;

inline ImageReading readImage(std::span<const uint8_t> image, uint32_t base,
                              const OutsideSymbols& outside) {
    ImageReading out;
    ImageReader reader(image);
    auto u32 = [&](uint32_t& v) {
        out.fields.push_back(reader.position());
        return reader.u32(v);
    };
    uint32_t codeSize;
    std::span<const uint8_t> code;
    if (!u32(codeSize) || !reader.bytes(codeSize, code)) return out;
    out.code.assign(code.begin(), code.end());
    std::map<std::string, uint32_t> symbols;
    for (int table = 0; table < 3; ++table) {
        const size_t countAt = reader.position();
        uint32_t count;
        if (!u32(count)) return out;
        for (int32_t i = 0; i < static_cast<int32_t>(count); ++i) {
            const size_t begin = reader.position();
            std::string_view name;
            uint32_t offset;
            if (!reader.name(name) || !u32(offset)) return out;
            const std::string s(name);
            out.records.push_back({begin, reader.position(), countAt});
            if (table == 0) {
                if (offset >= codeSize) return out;
                symbols[s] = base + offset;
                continue;
            }
            if (codeSize < 4 || offset > codeSize - 4) return out;
            const auto module = symbols.find(s);
            const std::optional<uint32_t> target =
                module != symbols.end() ? module->second : outside(s);
            if (!target) {
                out.missing = s;
                return out;
            }
            uint32_t word;
            std::memcpy(&word, out.code.data() + offset, 4);
            word += table == 1 ? *target - (base + offset) : *target;
            std::memcpy(out.code.data() + offset, &word, 4);
        }
    }
    out.linked = true;
    return out;
}

}  // namespace tx::test
