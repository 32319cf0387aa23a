// Small helpers shared by the kernel sets (plain code, no instruction-set requirements).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "pixel_codecs.h"

namespace tx::kernels {

// Bit 31 <-> bit 0: turns "bit i = pixel i" into the mask's "bit 31 = first pixel".
inline uint32_t reverseBits(uint32_t x) {
    x = ((x >> 1) & 0x55555555u) | ((x & 0x55555555u) << 1);
    x = ((x >> 2) & 0x33333333u) | ((x & 0x33333333u) << 2);
    x = ((x >> 4) & 0x0F0F0F0Fu) | ((x & 0x0F0F0F0Fu) << 4);
    return __builtin_bswap32(x);
}

template <typename T>
inline T loadAs(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
inline void storeAs(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// Copies 2 <= n < 16 bytes as two moves that may overlap.
inline void copySmall(uint8_t* dst, const uint8_t* src, size_t n) {
    if (n >= 8) {
        const uint64_t a = loadAs<uint64_t>(src), b = loadAs<uint64_t>(src + n - 8);
        storeAs(dst, a);
        storeAs(dst + n - 8, b);
    } else if (n >= 4) {
        const uint32_t a = loadAs<uint32_t>(src), b = loadAs<uint32_t>(src + n - 4);
        storeAs(dst, a);
        storeAs(dst + n - 4, b);
    } else {
        const uint16_t a = loadAs<uint16_t>(src), b = loadAs<uint16_t>(src + n - 2);
        storeAs(dst, a);
        storeAs(dst + n - 2, b);
    }
}

// Fills 2 <= n < 16 bytes of 2- or 4-byte pixels from 8 bytes of the repeated pixel.
inline void fillSmall(uint8_t* dst, size_t n, uint64_t pattern) {
    if (n >= 8) {
        storeAs(dst, pattern);
        storeAs(dst + n - 8, pattern);
    } else if (n >= 4) {
        storeAs(dst, static_cast<uint32_t>(pattern));
        storeAs(dst + n - 4, static_cast<uint32_t>(pattern));
    } else {
        storeAs(dst, static_cast<uint16_t>(pattern));
    }
}

// 8 bytes holding the pixel value repeated (2- or 4-byte pixels).
inline uint64_t repeatPixel(uint32_t value, int bytes) {
    return bytes == 2 ? (value & 0xFFFFu) * 0x0001000100010001ull
                      : uint64_t{value} * 0x0000000100000001ull;
}

// 48 bytes (16 pixels) of a repeated 3-byte pixel.
struct Pattern24 {
    alignas(16) uint8_t bytes[48];
    explicit Pattern24(uint32_t value) {
        for (int i = 0; i < 48; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * (i % 3)));
    }
};

// The keyed copy of one row, pixel by pixel (short rows and tails).
template <int B>
inline void copyKeyedPixels(uint8_t* dst, const uint8_t* src, int32_t count, uint32_t key,
                            uint32_t keyBits) {
    for (int32_t x = 0; x < count; ++x) {
        const uint32_t v = RawPixel<B>::load(src + x * B);
        if ((v & keyBits) != key) RawPixel<B>::store(dst + x * B, v);
    }
}

// The stipple of pixels [from, to) of a row, bit by bit (24-bit rows and tails).
template <int B>
inline void stipplePixels(uint8_t* dst, uint64_t bits, int32_t from, int32_t to, uint32_t value) {
    for (int32_t x = from; x < to; ++x)
        if ((bits >> x) & 1) RawPixel<B>::store(dst + x * B, value);
}

}  // namespace tx::kernels
