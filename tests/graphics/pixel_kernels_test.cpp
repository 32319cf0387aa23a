// Pixel formats (by depth and from masks, the specialised codecs against the conversion by
// masks); every vector kernel set against the scalar reference, bit for bit, and the set
// canvases draw with.
#include "pixel_kernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "pixel_codecs.h"
#include "pixel_format.h"

namespace tx::kernels {
namespace {

// Formats by depth, a layout of its own and masks that make no format.
TEST(PixelFormatTest, FormatsByDepthAndFromMasks) {
    EXPECT_EQ(*PixelFormat::forDepth(16), PixelFormat::rgb565());
    EXPECT_FALSE(PixelFormat::forDepth(8).has_value());

    EXPECT_FALSE(PixelFormat::fromMasks(15, 0, 0x7C00, 0x03E0, 0x001F));           // depth
    EXPECT_FALSE(PixelFormat::fromMasks(16, 0, 0xF801, 0x07E0, 0x001E));           // gap
    EXPECT_FALSE(PixelFormat::fromMasks(16, 0, 0xFC00, 0x07E0, 0x001F));           // overlap
    EXPECT_FALSE(PixelFormat::fromMasks(32, 0, 0x3FF00000, 0x000FFC00, 0x3FF));    // 10 bits
    EXPECT_FALSE(PixelFormat::fromMasks(24, 0xFF000000, 0xFF0000, 0xFF00, 0xFF));  // past depth
    EXPECT_TRUE(PixelFormat::fromMasks(32, 0, 0xFF, 0xFF00, 0xFF0000));            // BGR
    EXPECT_EQ(PixelFormat::rgb555().valueBits(), 0x7FFFu);  // keyed copies ignore the top bit

    // A layout without blue and with a 4-bit alpha in the low bits.
    const auto odd = PixelFormat::fromMasks(16, 0x000F, 0xF000, 0x0FF0, 0);
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->argbFill(), 0x000000FFu);
    EXPECT_EQ(odd->layout(), PixelLayout::generic16);
    // alpha 0x9A -> 9, red 0xBC -> B, green 0xDE -> DE, blue dropped.
    EXPECT_EQ(odd->fromARGB(0x9ABCDE12), 0xBDE9u);
    EXPECT_EQ(odd->toARGB(0xBDE9), 0x90B0DEFFu);
}

// The specialised routines against the conversion by masks: every 16-bit surface value, a spread
// of wider ones, and a spread of colours.
TEST(PixelFormatTest, SpecialisedRoutinesMatchTheMaskConversions) {
    for (const PixelFormat& f :
         {PixelFormat::rgb565(), PixelFormat::rgb555(), PixelFormat::rgb888(),
          PixelFormat::xrgb8888(), PixelFormat::argb8888(),
          *PixelFormat::fromMasks(32, 0, 0xFF, 0xFF00, 0xFF0000),
          *PixelFormat::fromMasks(16, 0xF000, 0x0F00, 0x00F0, 0x000F)}) {
        SCOPED_TRACE(f.depth());
        uint8_t pixel[4];
        visitCodec(f, [&](auto codec) {
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
}

// Pixel rows with a guard zone around them, so stray writes show up.
struct Rows {
    static constexpr int kGuard = 64;
    std::vector<uint8_t> bytes;
    ptrdiff_t pitch;
    int32_t rows;

    Rows(int32_t widthBytes, int32_t rowCount, uint32_t seed) : rows(rowCount) {
        pitch = widthBytes + 2 * kGuard + static_cast<ptrdiff_t>(seed % 7);
        bytes.resize(static_cast<size_t>(pitch) * rowCount + 2 * kGuard);
        std::mt19937 rng(seed);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    }
    uint8_t* row(int32_t r, int32_t offset) { return bytes.data() + kGuard + r * pitch + offset; }
};

// Random pixels of which about a third are the key, some with bits outside keyBits set.
template <int B>
void scatterKeys(Rows& rows, int32_t offset, int32_t width, uint32_t key, uint32_t keyBits,
                 uint32_t seed) {
    std::mt19937 rng(seed);
    for (int32_t r = 0; r < rows.rows; ++r) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t roll = rng() % 6;
            if (roll < 2) {
                const uint32_t noise = roll == 1 ? (rng() & ~keyBits) : 0;
                RawPixel<B>::store(rows.row(r, offset) + x * B, key | noise);
            }
        }
    }
}

template <int B>
void compareSets(const KernelSet& set) {
    SCOPED_TRACE(std::string(set.name) + ", " + std::to_string(B) + "-byte pixels");
    const RowOps& ref = scalarKernels().forBytes(B);
    const RowOps& ops = set.forBytes(B);
    const uint32_t keyBits = B == 2 ? 0xFFFF : B == 3 ? 0xFFFFFF : 0x00FFFFFF;
    const uint32_t key = 0x00A5C3E1 & keyBits;
    uint32_t seed = 1;
    for (int32_t width = 1; width <= 140; ++width) {
        for (int32_t offset : {0, B, 3 * B}) {
            for (int32_t rowCount : {1, 3}) {
                ++seed;
                const int32_t n = width * B;
                const bool upward = seed % 2 == 0;
                const ptrdiff_t stepSign = upward ? -1 : 1;
                auto start = [&](Rows& r) { return r.row(upward ? rowCount - 1 : 0, offset); };

                Rows src(n + 3 * B, rowCount, seed * 7);
                scatterKeys<B>(src, offset, width, key, keyBits, seed);
                Rows a(n + 3 * B, rowCount, seed), b(n + 3 * B, rowCount, seed);
                ref.copyKeyed(start(a), stepSign * a.pitch, start(src), stepSign * src.pitch, width,
                              rowCount, key, keyBits);
                ops.copyKeyed(start(b), stepSign * b.pitch, start(src), stepSign * src.pitch, width,
                              rowCount, key, keyBits);
                ASSERT_EQ(a.bytes, b.bytes) << "copyKeyed width " << width;

                ref.copy(start(a), stepSign * a.pitch, start(src), stepSign * src.pitch, width,
                         rowCount);
                ops.copy(start(b), stepSign * b.pitch, start(src), stepSign * src.pitch, width,
                         rowCount);
                ASSERT_EQ(a.bytes, b.bytes) << "copy width " << width;

                const uint32_t value = (0x89ABCDEFu * seed) & keyBits;
                ref.fill(start(a), stepSign * a.pitch, width, rowCount, value);
                ops.fill(start(b), stepSign * b.pitch, width, rowCount, value);
                ASSERT_EQ(a.bytes, b.bytes) << "fill width " << width;
            }
        }
    }
    // Stipples: stripes of every width up to 64, random bits (also past the width) on random
    // pixels; nothing past the width may change.
    for (int32_t width = 0; width <= 64; ++width) {
        Rows a(64 * B, 3, 700 + width), b = a;
        std::mt19937_64 rng(width);
        const uint64_t bits[3] = {rng(), rng(), rng()};
        const uint32_t value = (0x2468ACE1u * (width + 1)) & keyBits;
        ref.stipple(a.row(0, 0), a.pitch, bits, width, 3, value);
        ops.stipple(b.row(0, 0), b.pitch, bits, width, 3, value);
        ASSERT_EQ(a.bytes, b.bytes) << "stipple width " << width;
        Rows untouched(64 * B, 3, 700 + width);
        for (int32_t r = 0; r < 3; ++r)
            ASSERT_TRUE(std::equal(a.row(r, width * B), a.row(r, 0) + a.pitch - Rows::kGuard,
                                   untouched.row(r, width * B)))
                << "past the stipple, width " << width;
    }
    // Mask words: whole words of 32 pixels.
    for (int32_t words = 1; words <= 5; ++words) {
        Rows src(words * 32 * B, 1, 500 + words);
        scatterKeys<B>(src, 0, words * 32, key, keyBits, 900 + words);
        std::vector<uint32_t> a(words + 1, 0x5A5A5A5A), b(words + 1, 0x5A5A5A5A);
        ref.maskWords(a.data(), src.row(0, 0), words, key, keyBits);
        ops.maskWords(b.data(), src.row(0, 0), words, key, keyBits);
        ASSERT_EQ(a, b) << "maskWords " << words;
        EXPECT_EQ(a[words], 0x5A5A5A5Au);
    }
}

TEST(PixelKernelsTest, VectorSetsMatchTheScalarReference) {
    std::vector<const KernelSet*> sets{&sse2Kernels()};
    if (const KernelSet* avx2 = avx2Kernels()) sets.push_back(avx2);
    for (const KernelSet* set : sets) {
        compareSets<2>(*set);
        compareSets<3>(*set);
        compareSets<4>(*set);
        // Canvases draw with the set an override names, while it lasts.
        const ScopedKernelOverride scalar(scalarKernels());
        {
            const ScopedKernelOverride use(*set);
            EXPECT_EQ(&activeKernels(), set);
        }
        EXPECT_EQ(&activeKernels(), &scalarKernels());
    }
}

}  // namespace
}  // namespace tx::kernels
