// Bytes as the characters of Windows-1252: 0x80 to 0x9F hold typographic characters, the rest
// is Latin-1. The five bytes that code page leaves undefined map to no character (0).
#pragma once

#include <array>
#include <cstdint>

namespace tx {

constexpr uint32_t windows1252ToUnicode(uint8_t byte) {
    constexpr std::array<uint16_t, 32> kHigh = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88
        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98
    };
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

}  // namespace tx
