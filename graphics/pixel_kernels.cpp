// The portable reference kernels and the choice of the set new canvases use.
#include "pixel_kernels.h"

#include <cstring>

#include "pixel_codecs.h"
#include "pixel_kernels_inline.h"

namespace tx::kernels {
namespace {

template <int B>
void fillScalar(uint8_t* dst, ptrdiff_t pitch, int32_t width, int32_t rows, uint32_t value) {
    for (; rows > 0; --rows, dst += pitch)
        for (int32_t x = 0; x < width; ++x) RawPixel<B>::store(dst + x * B, value);
}

template <int B>
void copyScalar(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
                int32_t width, int32_t rows) {
    for (; rows > 0; --rows, dst += dstPitch, src += srcPitch)
        std::memcpy(dst, src, static_cast<size_t>(width) * B);
}

template <int B>
void copyKeyedScalar(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
                     int32_t width, int32_t rows, uint32_t key, uint32_t keyBits) {
    for (; rows > 0; --rows, dst += dstPitch, src += srcPitch) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = RawPixel<B>::load(src + x * B);
            if ((v & keyBits) != key) RawPixel<B>::store(dst + x * B, v);
        }
    }
}

template <int B>
uint32_t maskWordOf(const uint8_t* row, int32_t count, uint32_t key, uint32_t keyBits) {
    uint32_t word = 0;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t v = RawPixel<B>::load(row + i * B);
        if (((v ^ key) & keyBits) != 0) word |= 0x80000000u >> i;
    }
    return word;
}

template <int B>
void maskWordsScalar(uint32_t* out, const uint8_t* row, int32_t words, uint32_t key,
                     uint32_t keyBits) {
    for (int32_t k = 0; k < words; ++k) out[k] = maskWordOf<B>(row + k * 32 * B, 32, key, keyBits);
}

template <int B>
void stippleScalar(uint8_t* dst, ptrdiff_t pitch, const uint64_t* bits, int32_t width, int32_t rows,
                   uint32_t value) {
    for (int32_t r = 0; r < rows; ++r, dst += pitch)
        stipplePixels<B>(dst, bits[r], 0, width, value);
}

template <int B>
constexpr RowOps scalarOps() {
    return {fillScalar<B>, copyScalar<B>, copyKeyedScalar<B>, maskWordsScalar<B>, stippleScalar<B>};
}

constexpr KernelSet kScalar{"scalar", {scalarOps<2>(), scalarOps<3>(), scalarOps<4>()}};

// Constant-initialised: no constructor runs for it.
const KernelSet* gOverride = nullptr;

}  // namespace

// The pixel size is chosen once per word, not per pixel.
uint32_t maskWordScalar(const uint8_t* row, int32_t bytesPerPixel, int32_t count, uint32_t key,
                        uint32_t keyBits) {
    switch (bytesPerPixel) {
        case 2:
            return maskWordOf<2>(row, count, key, keyBits);
        case 3:
            return maskWordOf<3>(row, count, key, keyBits);
        default:
            return maskWordOf<4>(row, count, key, keyBits);
    }
}

const KernelSet& scalarKernels() {
    return kScalar;
}

const KernelSet& activeKernels() {
    if (gOverride != nullptr) return *gOverride;
    static const KernelSet& best = [&]() -> const KernelSet& {
        if (const KernelSet* avx2 = avx2Kernels()) return *avx2;
        return sse2Kernels();
    }();
    return best;
}

ScopedKernelOverride::ScopedKernelOverride(const KernelSet& set) : previous_(gOverride) {
    gOverride = &set;
}

ScopedKernelOverride::~ScopedKernelOverride() {
    gOverride = previous_;
}

}  // namespace tx::kernels
