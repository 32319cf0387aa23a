// Pixel formats of the software canvases: where each channel of a pixel lives, and the exact
// conversions between a canvas's own pixel encoding (its "surface value") and 32-bit ARGB.
//
// A channel keeps the top bitCount bits of its 8-bit ARGB value; reading back leaves the low
// bits zero (nothing is replicated into them) and fills absent channels with 0xFF.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>

namespace tx {

static_assert(std::endian::native == std::endian::little, "pixels are stored little-endian");

enum class Channel : uint8_t { alpha = 0, red = 1, green = 2, blue = 3 };

// The specialised pixel routines serving a format, chosen once when the format is made.
enum class PixelLayout : uint8_t {
    rgb565,     // 16-bit, masks 0xF800 0x07E0 0x001F
    rgb555,     // 16-bit, masks 0x7C00 0x03E0 0x001F
    rgb888,     // 24-bit, bytes blue, green, red
    xrgb8888,   // 32-bit, masks 0xFF0000 0xFF00 0xFF, top byte unused
    argb8888,   // 32-bit with alpha mask 0xFF000000
    generic16,  // any other layout, by its masks
    generic24,
    generic32,
};

class PixelFormat {
public:
    static PixelFormat rgb565();
    static PixelFormat rgb555();
    static PixelFormat rgb888();
    static PixelFormat xrgb8888();
    static PixelFormat argb8888();

    // The display format of a depth: 16 -> 565, 24 -> 888, 32 -> XRGB; none for other depths.
    static std::optional<PixelFormat> forDepth(int32_t depth);

    // Any layout of depth 16, 24 or 32 whose masks are runs of at most 8 contiguous bits that
    // fit the depth and do not overlap (a mask of 0: the channel is absent). None otherwise.
    static std::optional<PixelFormat> fromMasks(int32_t depth, uint32_t alphaMask, uint32_t redMask,
                                                uint32_t greenMask, uint32_t blueMask);

    int32_t depth() const { return depth_; }
    int32_t bytesPerPixel() const { return depth_ / 8; }
    uint32_t mask(Channel c) const { return channel(c).mask; }
    uint32_t alphaMask() const { return mask(Channel::alpha); }
    uint32_t redMask() const { return mask(Channel::red); }
    uint32_t greenMask() const { return mask(Channel::green); }
    uint32_t blueMask() const { return mask(Channel::blue); }
    // 0xFF in the ARGB byte of every absent channel, 0 elsewhere.
    uint32_t argbFill() const { return argbFill_; }
    // Union of the four masks: the bits a surface value carries (colour keys compare these).
    uint32_t valueBits() const { return valueBits_; }
    // Union of the red, green and blue masks (the collision mask ignores alpha).
    uint32_t rgbBits() const { return rgbBits_; }
    PixelLayout layout() const { return layout_; }

    // Exact conversions by the channel masks (the reference the specialised routines match).
    uint32_t fromARGB(uint32_t argb) const {
        uint32_t value = 0;
        for (const ChannelInfo& c : channels_)
            value |= ((argb >> c.argbShift) << c.lowBit) & c.mask;
        return value;
    }
    uint32_t toARGB(uint32_t value) const {
        uint32_t argb = argbFill_;
        for (const ChannelInfo& c : channels_)
            argb |= ((value & c.mask) >> c.lowBit) << c.argbShift;
        return argb;
    }

    // One pixel at a byte address (bytesPerPixel bytes, least significant first), through the
    // routine specialised for this format.
    void storeARGB(uint8_t* at, uint32_t argb) const { store_(*this, at, argb); }
    uint32_t loadARGB(const uint8_t* at) const { return load_(*this, at); }

    // Surface values as stored, without conversion.
    void storeValue(uint8_t* at, uint32_t value) const;
    uint32_t loadValue(const uint8_t* at) const;

    // Same depth and masks.
    bool operator==(const PixelFormat& other) const;

private:
    struct ChannelInfo {
        uint32_t mask = 0;
        uint8_t lowBit = 0;
        uint8_t bitCount = 0;
        uint8_t argbShift = 0;  // 8 - bitCount + the channel's ARGB bit; 0 for an absent channel
    };
    using StoreFn = void (*)(const PixelFormat&, uint8_t*, uint32_t);
    using LoadFn = uint32_t (*)(const PixelFormat&, const uint8_t*);

    PixelFormat() = default;
    const ChannelInfo& channel(Channel c) const { return channels_[static_cast<int>(c)]; }

    ChannelInfo channels_[4];  // alpha, red, green, blue
    int32_t depth_ = 0;
    uint32_t argbFill_ = 0;
    uint32_t valueBits_ = 0;
    uint32_t rgbBits_ = 0;
    PixelLayout layout_ = PixelLayout::generic32;
    StoreFn store_ = nullptr;
    LoadFn load_ = nullptr;
};

}  // namespace tx
