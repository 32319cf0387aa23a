// Pixel codecs: one small type per pixel layout with inline load/store and conversions, so a
// loop over many pixels picks its codec once (visitCodec) and then runs without any test of
// the format per pixel. Each codec converts exactly as PixelFormat::fromARGB/toARGB.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>

#include "pixel_format.h"

namespace tx {

// Raw surface values of a pixel size, least significant byte first.
template <int Bytes>
struct RawPixel {
    static constexpr int kBytes = Bytes;
    static uint32_t load(const uint8_t* at) {
        if constexpr (Bytes == 2) {
            uint16_t v;
            std::memcpy(&v, at, 2);
            return v;
        } else if constexpr (Bytes == 3) {
            return at[0] | (uint32_t{at[1]} << 8) | (uint32_t{at[2]} << 16);
        } else {
            uint32_t v;
            std::memcpy(&v, at, 4);
            return v;
        }
    }
    static void store(uint8_t* at, uint32_t value) {
        if constexpr (Bytes == 2) {
            const uint16_t v = static_cast<uint16_t>(value);
            std::memcpy(at, &v, 2);
        } else if constexpr (Bytes == 3) {
            at[0] = static_cast<uint8_t>(value);
            at[1] = static_cast<uint8_t>(value >> 8);
            at[2] = static_cast<uint8_t>(value >> 16);
        } else {
            std::memcpy(at, &value, 4);
        }
    }
};

// Adds the ARGB access every codec offers on top of its two conversions.
template <typename Self, int Bytes>
struct CodecBase : RawPixel<Bytes> {
    void storeARGB(uint8_t* at, uint32_t argb) const {
        RawPixel<Bytes>::store(at, static_cast<const Self*>(this)->fromARGB(argb));
    }
    uint32_t loadARGB(const uint8_t* at) const {
        return static_cast<const Self*>(this)->toARGB(RawPixel<Bytes>::load(at));
    }
};

struct Rgb565Codec : CodecBase<Rgb565Codec, 2> {
    static uint32_t fromARGB(uint32_t v) {
        return ((v >> 8) & 0xF800) | ((v >> 5) & 0x07E0) | ((v >> 3) & 0x001F);
    }
    static uint32_t toARGB(uint32_t s) {
        return 0xFF000000u | ((s & 0xF800) << 8) | ((s & 0x07E0) << 5) | ((s & 0x001F) << 3);
    }
};

struct Rgb555Codec : CodecBase<Rgb555Codec, 2> {
    static uint32_t fromARGB(uint32_t v) {
        return ((v >> 9) & 0x7C00) | ((v >> 6) & 0x03E0) | ((v >> 3) & 0x001F);
    }
    static uint32_t toARGB(uint32_t s) {
        return 0xFF000000u | ((s & 0x7C00) << 9) | ((s & 0x03E0) << 6) | ((s & 0x001F) << 3);
    }
};

// 24-bit (blue, green, red in address order) and 32-bit without alpha mask.
template <int Bytes>
struct Rgb888Codec : CodecBase<Rgb888Codec<Bytes>, Bytes> {
    static uint32_t fromARGB(uint32_t v) { return v & 0x00FFFFFF; }
    static uint32_t toARGB(uint32_t s) { return (s & 0x00FFFFFF) | 0xFF000000u; }
};

struct Argb8888Codec : CodecBase<Argb8888Codec, 4> {
    static uint32_t fromARGB(uint32_t v) { return v; }
    static uint32_t toARGB(uint32_t s) { return s; }
};

// Any other layout, converted by the format's masks.
template <int Bytes>
struct GenericCodec : CodecBase<GenericCodec<Bytes>, Bytes> {
    const PixelFormat* format;
    explicit GenericCodec(const PixelFormat& f) : format(&f) {}
    uint32_t fromARGB(uint32_t v) const { return format->fromARGB(v); }
    uint32_t toARGB(uint32_t s) const { return format->toARGB(s); }
};

// Calls f(codec) with the codec of the format's layout; f's result is returned.
template <typename F>
decltype(auto) visitCodec(const PixelFormat& format, F&& f) {
    switch (format.layout()) {
        case PixelLayout::rgb565:
            return std::forward<F>(f)(Rgb565Codec{});
        case PixelLayout::rgb555:
            return std::forward<F>(f)(Rgb555Codec{});
        case PixelLayout::rgb888:
            return std::forward<F>(f)(Rgb888Codec<3>{});
        case PixelLayout::xrgb8888:
            return std::forward<F>(f)(Rgb888Codec<4>{});
        case PixelLayout::argb8888:
            return std::forward<F>(f)(Argb8888Codec{});
        case PixelLayout::generic16:
            return std::forward<F>(f)(GenericCodec<2>{format});
        case PixelLayout::generic24:
            return std::forward<F>(f)(GenericCodec<3>{format});
        case PixelLayout::generic32:
            break;
    }
    return std::forward<F>(f)(GenericCodec<4>{format});
}

}  // namespace tx
