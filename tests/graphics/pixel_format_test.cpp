#include "pixel_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pixel_codecs.h"

namespace tx {
namespace {

std::vector<uint8_t> stored(const PixelFormat& f, uint32_t argb) {
    std::vector<uint8_t> bytes(static_cast<size_t>(f.bytesPerPixel()) + 1, 0xAA);
    f.storeARGB(bytes.data(), argb);
    return bytes;
}

// Sixteen-bit layouts keep the top bits of each channel and read back with the low bits zero;
// byte layouts move the bytes unchanged.
TEST(PixelFormatTest, StoredBytesAndWhatTheyReadBackAs) {
    const struct {
        PixelFormat format;
        uint32_t argb;
        std::vector<uint8_t> bytes;
        uint32_t back;
    } cases[] = {
        {PixelFormat::rgb565(), 0xFFFFFFFF, {0xFF, 0xFF}, 0xFFF8FCF8},
        {PixelFormat::rgb565(), 0xFFFF00FF, {0x1F, 0xF8}, 0xFFF800F8},
        {PixelFormat::rgb565(), 0x00123456, {0xAA, 0x11}, 0xFF103450},
        {PixelFormat::rgb565(), 0x00070307, {0x00, 0x00}, 0xFF000000},
        {PixelFormat::rgb555(), 0xFFFFFFFF, {0xFF, 0x7F}, 0xFFF8F8F8},
        {PixelFormat::xrgb8888(), 0x12345678, {0x78, 0x56, 0x34, 0x00}, 0xFF345678},
        {PixelFormat::argb8888(), 0x12345678, {0x78, 0x56, 0x34, 0x12}, 0x12345678},
        {PixelFormat::rgb888(), 0x12345678, {0x78, 0x56, 0x34}, 0xFF345678},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.format.depth() << " bits, " << std::hex << c.argb);
        std::vector<uint8_t> expected = c.bytes;
        expected.push_back(0xAA);  // the byte after the pixel stays
        EXPECT_EQ(stored(c.format, c.argb), expected);
        EXPECT_EQ(c.format.loadARGB(expected.data()), c.back);
        EXPECT_EQ(c.format.toARGB(c.format.fromARGB(c.argb)), c.back);
    }
}

TEST(PixelFormatTest, DerivedChannelFields) {
    const PixelFormat f = PixelFormat::rgb565();
    EXPECT_EQ(f.depth(), 16);
    EXPECT_EQ(f.bytesPerPixel(), 2);
    EXPECT_EQ(f.lowBit(Channel::green), 5);
    EXPECT_EQ(f.bitCount(Channel::green), 6);
    EXPECT_EQ(f.argbFill(), 0xFF000000u);
    EXPECT_EQ(f.valueBits(), 0xFFFFu);
    EXPECT_EQ(f.layout(), PixelLayout::rgb565);

    EXPECT_EQ(PixelFormat::argb8888().argbFill(), 0u);
    EXPECT_EQ(PixelFormat::argb8888().rgbBits(), 0x00FFFFFFu);
    EXPECT_EQ(PixelFormat::rgb555().valueBits(), 0x7FFFu);
    EXPECT_EQ(PixelFormat::rgb888().bytesPerPixel(), 3);

    // A layout without blue and with a 4-bit alpha in the low bits.
    const auto odd = PixelFormat::fromMasks(16, 0x000F, 0xF000, 0x0FF0, 0);
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->argbFill(), 0x000000FFu);
    EXPECT_EQ(odd->layout(), PixelLayout::generic16);
    // alpha 0x9A -> 9, red 0xBC -> B, green 0xDE -> DE, blue dropped.
    EXPECT_EQ(odd->fromARGB(0x9ABCDE12), 0xBDE9u);
    EXPECT_EQ(odd->toARGB(0xBDE9), 0x90B0DEFFu);
}

TEST(PixelFormatTest, FormatsByDepthAndRejectedMasks) {
    EXPECT_EQ(*PixelFormat::forDepth(16), PixelFormat::rgb565());
    EXPECT_EQ(*PixelFormat::forDepth(24), PixelFormat::rgb888());
    EXPECT_EQ(*PixelFormat::forDepth(32), PixelFormat::xrgb8888());
    EXPECT_FALSE(PixelFormat::forDepth(8).has_value());
    EXPECT_FALSE(PixelFormat::forDepth(0).has_value());

    EXPECT_FALSE(PixelFormat::fromMasks(15, 0, 0x7C00, 0x03E0, 0x001F));           // depth
    EXPECT_FALSE(PixelFormat::fromMasks(16, 0, 0xF801, 0x07E0, 0x001E));           // gap
    EXPECT_FALSE(PixelFormat::fromMasks(16, 0, 0xFC00, 0x07E0, 0x001F));           // overlap
    EXPECT_FALSE(PixelFormat::fromMasks(32, 0, 0x3FF00000, 0x000FFC00, 0x3FF));    // 10 bits
    EXPECT_FALSE(PixelFormat::fromMasks(24, 0xFF000000, 0xFF0000, 0xFF00, 0xFF));  // past depth
    EXPECT_TRUE(PixelFormat::fromMasks(32, 0, 0xFF, 0xFF00, 0xFF0000));            // BGR
}

// The specialised routines against the conversion by masks.
void expectCodecMatchesMasks(const PixelFormat& f) {
    SCOPED_TRACE(f.depth());
    uint8_t pixel[4];
    visitCodec(f, [&](auto codec) {
        // Every 16-bit surface value; a spread of wider ones.
        const uint32_t valueStep = f.depth() == 16 ? 1 : 4099;
        const uint64_t valueEnd = f.depth() == 32 ? 0x100000000ull : (1ull << f.depth());
        for (uint64_t v = 0; v < valueEnd; v += valueStep) {
            const uint32_t s = static_cast<uint32_t>(v) & f.valueBits();
            ASSERT_EQ(codec.toARGB(s), f.toARGB(s)) << std::hex << s;
            f.storeValue(pixel, s);
            ASSERT_EQ(f.loadARGB(pixel), f.toARGB(s));
        }
        for (uint64_t argb = 0; argb < 0x100000000ull; argb += 65521) {
            const uint32_t c = static_cast<uint32_t>(argb);
            ASSERT_EQ(codec.fromARGB(c), f.fromARGB(c)) << std::hex << c;
            f.storeARGB(pixel, c);
            ASSERT_EQ(f.loadValue(pixel), f.fromARGB(c));
        }
    });
}

TEST(PixelFormatTest, SpecialisedRoutinesMatchTheMaskConversions) {
    expectCodecMatchesMasks(PixelFormat::rgb565());
    expectCodecMatchesMasks(PixelFormat::rgb555());
    expectCodecMatchesMasks(PixelFormat::rgb888());
    expectCodecMatchesMasks(PixelFormat::xrgb8888());
    expectCodecMatchesMasks(PixelFormat::argb8888());
    expectCodecMatchesMasks(*PixelFormat::fromMasks(32, 0, 0xFF, 0xFF00, 0xFF0000));
    expectCodecMatchesMasks(*PixelFormat::fromMasks(16, 0xF000, 0x0F00, 0x00F0, 0x000F));
}

}  // namespace
}  // namespace tx
