// Kernels on 16-byte vectors (SSE2, the x86-64 baseline). 24-bit colour keys and masks stay
// scalar here: without byte shuffles they do not pay.
#include "pixel_kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "pixel_kernels_inline.h"
#endif

namespace tx::kernels {

#if !defined(__SSE2__)

const KernelSet& sse2Kernels() {
    return scalarKernels();
}

#else

namespace {

inline __m128i load16(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void store16(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

template <int B>
__m128i broadcast(uint32_t value) {
    return B == 2 ? _mm_set1_epi16(static_cast<int16_t>(value))
                  : _mm_set1_epi32(static_cast<int32_t>(value));
}

template <int B>
void fill(uint8_t* dst, ptrdiff_t pitch, int32_t width, int32_t rows, uint32_t value) {
    const size_t n = static_cast<size_t>(width) * B;
    if constexpr (B == 3) {
        const Pattern24 pattern(value);
        const __m128i p0 = load16(pattern.bytes), p1 = load16(pattern.bytes + 16),
                      p2 = load16(pattern.bytes + 32);
        for (; rows > 0; --rows, dst += pitch) {
            size_t i = 0;
            for (; i + 48 <= n; i += 48) {
                store16(dst + i, p0);
                store16(dst + i + 16, p1);
                store16(dst + i + 32, p2);
            }
            std::memcpy(dst + i, pattern.bytes, n - i);
        }
    } else {
        const __m128i v = broadcast<B>(value);
        const uint64_t small = repeatPixel(value, B);
        for (; rows > 0; --rows, dst += pitch) {
            if (n < 16) {
                fillSmall(dst, n, small);
                continue;
            }
            size_t i = 0;
            for (; i + 16 <= n; i += 16) store16(dst + i, v);
            if (i < n) store16(dst + n - 16, v);
        }
    }
}

template <int B>
void copy(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch, int32_t width,
          int32_t rows) {
    const size_t n = static_cast<size_t>(width) * B;
    for (; rows > 0; --rows, dst += dstPitch, src += srcPitch) {
        if (n < 16) {
            copySmall(dst, src, n);
            continue;
        }
        size_t i = 0;
        for (; i + 16 <= n; i += 16) store16(dst + i, load16(src + i));
        if (i < n) store16(dst + n - 16, load16(src + n - 16));
    }
}

// The destination vector `d` keeps its pixels where the source pixels are the key.
template <int B>
inline __m128i keyed16(const uint8_t* src, __m128i d, __m128i key, __m128i keyBits) {
    const __m128i s = load16(src);
    const __m128i k = _mm_and_si128(s, keyBits);
    const __m128i isKey = B == 2 ? _mm_cmpeq_epi16(k, key) : _mm_cmpeq_epi32(k, key);
    return _mm_or_si128(_mm_and_si128(isKey, d), _mm_andnot_si128(isKey, s));
}

template <int B>
void copyKeyed(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
               int32_t width, int32_t rows, uint32_t key, uint32_t keyBits) {
    if constexpr (B == 3) {
        for (; rows > 0; --rows, dst += dstPitch, src += srcPitch)
            copyKeyedPixels<3>(dst, src, width, key, keyBits);
    } else {
        const size_t n = static_cast<size_t>(width) * B;
        const __m128i k = broadcast<B>(key), kb = broadcast<B>(keyBits);
        for (; rows > 0; --rows, dst += dstPitch, src += srcPitch) {
            if (n < 16) {
                copyKeyedPixels<B>(dst, src, width, key, keyBits);
                continue;
            }
            // A last vector that overlaps pixels already done is keyed against the destination
            // as it was before the row (loaded first, so it never waits on the stores before
            // it): keying those pixels again gives the same result.
            const __m128i tail = load16(dst + n - 16);
            size_t i = 0;
            for (; i + 16 <= n; i += 16)
                store16(dst + i, keyed16<B>(src + i, load16(dst + i), k, kb));
            if (i < n) store16(dst + n - 16, keyed16<B>(src + n - 16, tail, k, kb));
        }
    }
}

template <int B>
void maskWords(uint32_t* out, const uint8_t* row, int32_t words, uint32_t key, uint32_t keyBits) {
    if constexpr (B == 3) {
        for (int32_t w = 0; w < words; ++w)
            out[w] = maskWordScalar(row + w * 96, 3, 32, key, keyBits);
    } else {
        const __m128i k = broadcast<B>(key), kb = broadcast<B>(keyBits);
        for (int32_t w = 0; w < words; ++w, row += 32 * B) {
            uint32_t equal = 0;  // bit i: pixel i is the key
            if constexpr (B == 4) {
                for (int j = 0; j < 8; ++j) {
                    const __m128i eq = _mm_cmpeq_epi32(_mm_and_si128(load16(row + 16 * j), kb), k);
                    equal |= static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(eq)))
                             << (4 * j);
                }
            } else {
                for (int j = 0; j < 2; ++j) {
                    const uint8_t* p = row + 32 * j;
                    const __m128i a = _mm_cmpeq_epi16(_mm_and_si128(load16(p), kb), k);
                    const __m128i b = _mm_cmpeq_epi16(_mm_and_si128(load16(p + 16), kb), k);
                    equal |= static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b)))
                             << (16 * j);
                }
            }
            out[w] = reverseBits(~equal);
        }
    }
}

// Eight pixels at a time, each vector blended from the bits of one byte; the last few pixels
// of a row one by one.
template <int B>
void stipple(uint8_t* dst, ptrdiff_t pitch, const uint64_t* bits, int32_t width, int32_t rows,
             uint32_t value) {
    const int32_t whole = B == 3 ? 0 : width & ~7;
    const __m128i v = broadcast < B == 3 ? 4 : B > (value);
    for (int32_t r = 0; r < rows; ++r, dst += pitch) {
        const uint64_t row = bits[r];
        if (row == 0) continue;  // text leaves many rows and groups empty: nothing to load
        if constexpr (B == 2) {
            const __m128i lanes = _mm_setr_epi16(1, 2, 4, 8, 16, 32, 64, 128);
            for (int32_t x = 0; x < whole; x += 8) {
                if (((row >> x) & 0xFF) == 0) continue;
                const __m128i sel = _mm_set1_epi16(static_cast<int16_t>((row >> x) & 0xFF));
                const __m128i on = _mm_cmpeq_epi16(_mm_and_si128(sel, lanes), lanes);
                uint8_t* p = dst + x * 2;
                store16(p, _mm_or_si128(_mm_and_si128(on, v), _mm_andnot_si128(on, load16(p))));
            }
        } else if constexpr (B == 4) {
            const __m128i low = _mm_setr_epi32(1, 2, 4, 8), high = _mm_setr_epi32(16, 32, 64, 128);
            for (int32_t x = 0; x < whole; x += 8) {
                if (((row >> x) & 0xFF) == 0) continue;
                const __m128i sel = _mm_set1_epi32(static_cast<int32_t>((row >> x) & 0xFF));
                const __m128i on0 = _mm_cmpeq_epi32(_mm_and_si128(sel, low), low);
                const __m128i on1 = _mm_cmpeq_epi32(_mm_and_si128(sel, high), high);
                uint8_t* p = dst + x * 4;
                store16(p, _mm_or_si128(_mm_and_si128(on0, v), _mm_andnot_si128(on0, load16(p))));
                store16(p + 16,
                        _mm_or_si128(_mm_and_si128(on1, v), _mm_andnot_si128(on1, load16(p + 16))));
            }
        }
        stipplePixels<B>(dst, row, whole, width, value);
    }
}

template <int B>
constexpr RowOps sse2Ops() {
    return {fill<B>, copy<B>, copyKeyed<B>, maskWords<B>, stipple<B>};
}

constexpr KernelSet kSse2{"sse2", {sse2Ops<2>(), sse2Ops<3>(), sse2Ops<4>()}};

}  // namespace

const KernelSet& sse2Kernels() {
    return kSse2;
}

#endif

}  // namespace tx::kernels
