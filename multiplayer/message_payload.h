// The payload of a user message, as it travels: sender player id, addressee player id (0: all
// players), the type as one byte (read back signed, -128 to 127) and the text, little-endian,
// back to back, without a terminating zero.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tx::net {

inline constexpr size_t kPayloadHeader = 9;

struct MessagePayload {
    int32_t from = 0;
    int32_t to = 0;
    int32_t type = 0;  // -128 to 127
    std::string_view text;
};

// Writes the payload into `buffer` (grown as needed) and returns its bytes.
inline std::span<const uint8_t> encodePayload(std::vector<uint8_t>& buffer, int32_t from,
                                              int32_t to, int32_t type, std::string_view text) {
    const size_t size = kPayloadHeader + text.size();
    if (buffer.size() < size) buffer.resize(size + size / 2);
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) buffer[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(0, static_cast<uint32_t>(from));
    put(4, static_cast<uint32_t>(to));
    buffer[8] = static_cast<uint8_t>(type);
    if (!text.empty()) std::memcpy(buffer.data() + kPayloadHeader, text.data(), text.size());
    return {buffer.data(), size};
}

// The fields of a payload; nothing when it is shorter than its header.
inline std::optional<MessagePayload> decodePayload(std::span<const uint8_t> bytes) {
    if (bytes.size() < kPayloadHeader) return std::nullopt;
    auto get = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | bytes[at + i];
        return static_cast<int32_t>(v);
    };
    return MessagePayload{
        get(0), get(4), bytes[8] < 128 ? bytes[8] : bytes[8] - 256,
        std::string_view(reinterpret_cast<const char*>(bytes.data()) + kPayloadHeader,
                         bytes.size() - kPayloadHeader)};
}

}  // namespace tx::net
