#include "pixel_format.h"

#include <type_traits>

#include "pixel_codecs.h"

namespace tx {
namespace {

template <typename Codec>
Codec makeCodec(const PixelFormat& format) {
    if constexpr (std::is_constructible_v<Codec, const PixelFormat&>) {
        return Codec(format);
    } else {
        return Codec{};
    }
}

template <typename Codec>
void storeWith(const PixelFormat& format, uint8_t* at, uint32_t argb) {
    makeCodec<Codec>(format).storeARGB(at, argb);
}

template <typename Codec>
uint32_t loadWith(const PixelFormat& format, const uint8_t* at) {
    return makeCodec<Codec>(format).loadARGB(at);
}

bool contiguous(uint32_t mask) {
    if (mask == 0) return true;
    const uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

}  // namespace

std::optional<PixelFormat> PixelFormat::fromMasks(int32_t depth, uint32_t alphaMask,
                                                  uint32_t redMask, uint32_t greenMask,
                                                  uint32_t blueMask) {
    if (depth != 16 && depth != 24 && depth != 32) return std::nullopt;
    const uint32_t masks[4] = {alphaMask, redMask, greenMask, blueMask};
    const uint32_t depthBits = depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
    PixelFormat f;
    f.depth_ = depth;
    for (int c = 0; c < 4; ++c) {
        const uint32_t m = masks[c];
        if (!contiguous(m) || (m & ~depthBits) != 0 || (m & f.valueBits_) != 0 ||
            std::popcount(m) > 8)
            return std::nullopt;
        f.valueBits_ |= m;
        const int argbBit = 24 - 8 * c;
        ChannelInfo& info = f.channels_[c];
        if (m == 0) {
            f.argbFill_ |= 0xFFu << argbBit;
            continue;
        }
        info.mask = m;
        info.lowBit = static_cast<uint8_t>(std::countr_zero(m));
        info.bitCount = static_cast<uint8_t>(std::popcount(m));
        info.argbShift = static_cast<uint8_t>(8 - info.bitCount + argbBit);
    }
    f.rgbBits_ = redMask | greenMask | blueMask;

    const bool rgb8 = redMask == 0xFF0000 && greenMask == 0xFF00 && blueMask == 0xFF;
    if (depth == 16 && alphaMask == 0 && redMask == 0xF800 && greenMask == 0x07E0 &&
        blueMask == 0x001F) {
        f.layout_ = PixelLayout::rgb565;
    } else if (depth == 16 && alphaMask == 0 && redMask == 0x7C00 && greenMask == 0x03E0 &&
               blueMask == 0x001F) {
        f.layout_ = PixelLayout::rgb555;
    } else if (depth == 24 && alphaMask == 0 && rgb8) {
        f.layout_ = PixelLayout::rgb888;
    } else if (depth == 32 && alphaMask == 0 && rgb8) {
        f.layout_ = PixelLayout::xrgb8888;
    } else if (depth == 32 && alphaMask == 0xFF000000u && rgb8) {
        f.layout_ = PixelLayout::argb8888;
    } else {
        f.layout_ = depth == 16   ? PixelLayout::generic16
                    : depth == 24 ? PixelLayout::generic24
                                  : PixelLayout::generic32;
    }

    switch (f.layout_) {
        case PixelLayout::rgb565:
            f.store_ = storeWith<Rgb565Codec>;
            f.load_ = loadWith<Rgb565Codec>;
            break;
        case PixelLayout::rgb555:
            f.store_ = storeWith<Rgb555Codec>;
            f.load_ = loadWith<Rgb555Codec>;
            break;
        case PixelLayout::rgb888:
            f.store_ = storeWith<Rgb888Codec<3>>;
            f.load_ = loadWith<Rgb888Codec<3>>;
            break;
        case PixelLayout::xrgb8888:
            f.store_ = storeWith<Rgb888Codec<4>>;
            f.load_ = loadWith<Rgb888Codec<4>>;
            break;
        case PixelLayout::argb8888:
            f.store_ = storeWith<Argb8888Codec>;
            f.load_ = loadWith<Argb8888Codec>;
            break;
        case PixelLayout::generic16:
            f.store_ = storeWith<GenericCodec<2>>;
            f.load_ = loadWith<GenericCodec<2>>;
            break;
        case PixelLayout::generic24:
            f.store_ = storeWith<GenericCodec<3>>;
            f.load_ = loadWith<GenericCodec<3>>;
            break;
        case PixelLayout::generic32:
            f.store_ = storeWith<GenericCodec<4>>;
            f.load_ = loadWith<GenericCodec<4>>;
            break;
    }
    return f;
}

PixelFormat PixelFormat::rgb565() {
    return *fromMasks(16, 0, 0xF800, 0x07E0, 0x001F);
}
PixelFormat PixelFormat::rgb555() {
    return *fromMasks(16, 0, 0x7C00, 0x03E0, 0x001F);
}
PixelFormat PixelFormat::rgb888() {
    return *fromMasks(24, 0, 0xFF0000, 0xFF00, 0xFF);
}
PixelFormat PixelFormat::xrgb8888() {
    return *fromMasks(32, 0, 0xFF0000, 0xFF00, 0xFF);
}
PixelFormat PixelFormat::argb8888() {
    return *fromMasks(32, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF);
}

std::optional<PixelFormat> PixelFormat::forDepth(int32_t depth) {
    switch (depth) {
        case 16:
            return rgb565();
        case 24:
            return rgb888();
        case 32:
            return xrgb8888();
        default:
            return std::nullopt;
    }
}

void PixelFormat::storeValue(uint8_t* at, uint32_t value) const {
    switch (depth_) {
        case 16:
            RawPixel<2>::store(at, value);
            break;
        case 24:
            RawPixel<3>::store(at, value);
            break;
        default:
            RawPixel<4>::store(at, value);
            break;
    }
}

uint32_t PixelFormat::loadValue(const uint8_t* at) const {
    switch (depth_) {
        case 16:
            return RawPixel<2>::load(at);
        case 24:
            return RawPixel<3>::load(at);
        default:
            return RawPixel<4>::load(at);
    }
}

bool PixelFormat::operator==(const PixelFormat& other) const {
    return depth_ == other.depth_ && alphaMask() == other.alphaMask() &&
           redMask() == other.redMask() && greenMask() == other.greenMask() &&
           blueMask() == other.blueMask();
}

}  // namespace tx
