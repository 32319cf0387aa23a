// Machine code and module images for tests, written as text: hex bytes with placeholders, and
// images whose symbols and fixups are named where they lie. Images may lie about their counts.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "guest_machine.h"
#include "module_image.h"

namespace tx::test {

using Bytes = std::vector<uint8_t>;

// A little-endian word, as code and images store them.
inline void put32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Appends machine code written in hex: two digits make a byte, spaces are skipped, and any other
// character is a placeholder that fill(c, out) appends the bytes of.
template <typename Fill>
void appendHex(Bytes& out, std::string_view text, Fill&& fill) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (std::isxdigit(static_cast<unsigned char>(text[i]))) {
            out.push_back(
                static_cast<uint8_t>(std::stoul(std::string(text.substr(i++, 2)), 0, 16)));
        } else if (text[i] != ' ') {
            fill(text[i], out);
        }
    }
}
// Code from hex where each 'w' is the next of `words` and each 'k' the next as the target of a
// call or jump (its distance from the word's end, for code loaded at `base`).
inline Bytes hexCode(std::string_view text, std::initializer_list<uint32_t> words = {},
                     uint32_t base = 0) {
    Bytes out;
    auto next = words.begin();
    appendHex(out, text, [&](char c, Bytes& o) {
        put32(o, c == 'w' ? *next++ : *next++ - (base + static_cast<uint32_t>(o.size()) + 4));
    });
    return out;
}

// Copies `bytes` into guest memory at `at`.
inline void writeBytes(GuestMachine& machine, GuestAddr at, const Bytes& bytes) {
    if (bytes.empty()) return;
    std::memcpy(machine.memory().writableBytes(at, static_cast<uint32_t>(bytes.size())),
                bytes.data(), bytes.size());
}

// Loads code written as for hexCode into a fresh heap block of `size` bytes; returns its address.
inline GuestAddr loadCode(GuestMachine& machine, std::string_view text,
                          std::initializer_list<uint32_t> words = {}, uint32_t size = 4096) {
    const GuestAddr at = machine.heap().allocate(size);
    writeBytes(machine, at, hexCode(text, words, at));
    return at;
}

struct ImageBuilder {
    Bytes code;
    std::vector<ImageRecord> symbols, relative, absolute;
    // Written instead of the number of relative fixups (to build an image that lies about it).
    std::optional<int32_t> relativeCount;

    // An image from text: hex code, where "name:" puts a symbol, "[name]" a word that gets name's
    // address and "<name>" a word that gets name's distance from the word's end (a call's).
    static ImageBuilder assemble(std::string_view text) {
        ImageBuilder b;
        std::istringstream words{std::string(text)};
        for (std::string w; words >> w;) {
            const auto at = static_cast<uint32_t>(b.code.size());
            if (w.back() == ':') {
                b.symbols.push_back({w.substr(0, w.size() - 1), at});
            } else if (w.front() == '[' || w.front() == '<') {
                const bool absolute = w.front() == '[';
                (absolute ? b.absolute : b.relative).push_back({w.substr(1, w.size() - 2), at});
                put32(b.code, absolute ? 0 : -4u);
            } else {
                appendHex(b.code, w, [](char, Bytes&) {});
            }
        }
        return b;
    }

    Bytes bytes() const {
        ImageWriter out;
        out.code(code);
        const auto table = [&](const std::vector<ImageRecord>& records,
                               std::optional<int32_t> count) {
            out.count(count.value_or(static_cast<int32_t>(records.size())));
            for (const ImageRecord& r : records) out.record(r.name, r.offset);
        };
        table(symbols, std::nullopt);
        table(relative, relativeCount);
        table(absolute, std::nullopt);
        return out.bytes();
    }
};

}  // namespace tx::test
