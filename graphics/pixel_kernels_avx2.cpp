// Kernels on 32-byte vectors (AVX2), compiled for AVX2 function by function so the binary still
// runs everywhere; avx2Kernels() offers them only on a CPU that has AVX2.
#include "pixel_kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TX_HAVE_AVX2_KERNELS 1
#include <immintrin.h>

#include "pixel_kernels_inline.h"
#endif

namespace tx::kernels {

#if !defined(TX_HAVE_AVX2_KERNELS)

const KernelSet* avx2Kernels() {
    return nullptr;
}

#else

#define TX_AVX2 __attribute__((target("avx2")))

namespace {

TX_AVX2 inline __m256i load32(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
TX_AVX2 inline void store32(uint8_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
TX_AVX2 inline __m128i load16(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
TX_AVX2 inline void store16(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

template <int B>
TX_AVX2 inline __m256i broadcast(uint32_t value) {
    return B == 2 ? _mm256_set1_epi16(static_cast<int16_t>(value))
                  : _mm256_set1_epi32(static_cast<int32_t>(value));
}

// One row of 2- or 4-byte pixels, n >= 32 bytes. Long rows store aligned after the first
// vector (the pixel pattern repeats every 4 bytes, so any 4-byte-aligned start keeps it).
TX_AVX2 inline void fillRow(uint8_t* dst, size_t n, __m256i v) {
    size_t i = 0;
    if (n >= 128 && (reinterpret_cast<uintptr_t>(dst) & 3) == 0) {
        store32(dst, v);
        i = 32 - (reinterpret_cast<uintptr_t>(dst) & 31);
        for (; i + 32 <= n; i += 32) _mm256_store_si256(reinterpret_cast<__m256i*>(dst + i), v);
    } else {
        for (; i + 32 <= n; i += 32) store32(dst + i, v);
    }
    if (i < n) store32(dst + n - 32, v);
}

template <int B>
TX_AVX2 void fill(uint8_t* dst, ptrdiff_t pitch, int32_t width, int32_t rows, uint32_t value) {
    const size_t n = static_cast<size_t>(width) * B;
    if constexpr (B == 3) {
        alignas(32) uint8_t pattern[96];
        for (int i = 0; i < 96; ++i) pattern[i] = static_cast<uint8_t>(value >> (8 * (i % 3)));
        const __m256i p0 = load32(pattern), p1 = load32(pattern + 32), p2 = load32(pattern + 64);
        for (; rows > 0; --rows, dst += pitch) {
            size_t i = 0;
            for (; i + 96 <= n; i += 96) {
                store32(dst + i, p0);
                store32(dst + i + 32, p1);
                store32(dst + i + 64, p2);
            }
            std::memcpy(dst + i, pattern, n - i);
        }
    } else {
        const __m256i v = broadcast<B>(value);
        const __m128i v16 = _mm256_castsi256_si128(v);
        const uint64_t small = repeatPixel(value, B);
        for (; rows > 0; --rows, dst += pitch) {
            if (n >= 32) {
                fillRow(dst, n, v);
            } else if (n >= 16) {
                store16(dst, v16);
                store16(dst + n - 16, v16);
            } else {
                fillSmall(dst, n, small);
            }
        }
    }
}

template <int B>
TX_AVX2 void copy(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
                  int32_t width, int32_t rows) {
    const size_t n = static_cast<size_t>(width) * B;
    for (; rows > 0; --rows, dst += dstPitch, src += srcPitch) {
        if (n >= 128) {
            // Whole-line stores: one unaligned head, aligned blocks, an overlapping tail.
            const __m256i tail = load32(src + n - 32);
            store32(dst, load32(src));
            size_t i = 32 - (reinterpret_cast<uintptr_t>(dst) & 31);
            for (; i + 32 <= n; i += 32)
                _mm256_store_si256(reinterpret_cast<__m256i*>(dst + i), load32(src + i));
            store32(dst + n - 32, tail);
        } else if (n >= 32) {
            size_t i = 0;
            for (; i + 32 <= n; i += 32) store32(dst + i, load32(src + i));
            if (i < n) store32(dst + n - 32, load32(src + n - 32));
        } else if (n >= 16) {
            const __m128i a = load16(src), b = load16(src + n - 16);
            store16(dst, a);
            store16(dst + n - 16, b);
        } else {
            copySmall(dst, src, n);
        }
    }
}

// The destination vector `d` keeps its pixels where the source pixels are the key.
template <int B>
TX_AVX2 inline __m256i keyed32(const uint8_t* src, __m256i d, __m256i key, __m256i keyBits) {
    const __m256i s = load32(src);
    const __m256i k = _mm256_and_si256(s, keyBits);
    const __m256i isKey = B == 2 ? _mm256_cmpeq_epi16(k, key) : _mm256_cmpeq_epi32(k, key);
    return _mm256_blendv_epi8(s, d, isKey);
}

template <int B>
TX_AVX2 inline __m128i keyed16(const uint8_t* src, __m128i d, __m128i key, __m128i keyBits) {
    const __m128i s = load16(src);
    const __m128i k = _mm_and_si128(s, keyBits);
    const __m128i isKey = B == 2 ? _mm_cmpeq_epi16(k, key) : _mm_cmpeq_epi32(k, key);
    return _mm_blendv_epi8(s, d, isKey);
}

// 24-bit pixels, four at a time: widen 12 bytes to four 32-bit lanes, compare, and narrow the
// result back to a byte mask; the 4 bytes past the group are written back unchanged. Each
// group's destination bytes are loaded before the previous group is stored, so no load waits
// on an overlapping store.
TX_AVX2 void copyKeyed24(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
                         int32_t width, int32_t rows, uint32_t key, uint32_t keyBits) {
    const size_t n = static_cast<size_t>(width) * 3;
    const __m128i widen = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i narrow = _mm_setr_epi8(0, 0, 0, 4, 4, 4, 8, 8, 8, 12, 12, 12, -1, -1, -1, -1);
    const __m128i keepRest = _mm_setr_epi32(0, 0, 0, -1);
    const __m128i k = _mm_set1_epi32(static_cast<int32_t>(key & 0xFFFFFF));
    const __m128i kb = _mm_set1_epi32(static_cast<int32_t>(keyBits & 0xFFFFFF));
    for (; rows > 0; --rows, dst += dstPitch, src += srcPitch) {
        size_t i = 0;
        if (n >= 16) {
            __m128i d = load16(dst);
            for (; i + 16 <= n; i += 12) {
                const __m128i s = load16(src + i);
                const __m128i px = _mm_and_si128(_mm_shuffle_epi8(s, widen), kb);
                const __m128i keep =
                    _mm_or_si128(_mm_shuffle_epi8(_mm_cmpeq_epi32(px, k), narrow), keepRest);
                const __m128i next = i + 28 <= n ? load16(dst + i + 12) : d;
                store16(dst + i, _mm_blendv_epi8(s, d, keep));
                d = next;
            }
        }
        copyKeyedPixels<3>(dst + i, src + i, static_cast<int32_t>((n - i) / 3), key, keyBits);
    }
}

template <int B>
TX_AVX2 void copyKeyed(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
                       int32_t width, int32_t rows, uint32_t key, uint32_t keyBits) {
    const size_t n = static_cast<size_t>(width) * B;
    const __m256i k = broadcast<B>(key), kb = broadcast<B>(keyBits);
    const __m128i k16 = _mm256_castsi256_si128(k), kb16 = _mm256_castsi256_si128(kb);
    for (; rows > 0; --rows, dst += dstPitch, src += srcPitch) {
        // A last vector that overlaps pixels already done is keyed against the destination as
        // it was before the row (loaded first, so it never waits on the stores before it):
        // keying those pixels again gives the same result.
        if (n >= 32) {
            const __m256i tail = load32(dst + n - 32);
            size_t i = 0;
            for (; i + 32 <= n; i += 32)
                store32(dst + i, keyed32<B>(src + i, load32(dst + i), k, kb));
            if (i < n) store32(dst + n - 32, keyed32<B>(src + n - 32, tail, k, kb));
        } else if (n >= 16) {
            const __m128i head = load16(dst), tail = load16(dst + n - 16);
            store16(dst, keyed16<B>(src, head, k16, kb16));
            store16(dst + n - 16, keyed16<B>(src + n - 16, tail, k16, kb16));
        } else {
            copyKeyedPixels<B>(dst, src, width, key, keyBits);
        }
    }
}

template <int B>
TX_AVX2 void maskWords(uint32_t* out, const uint8_t* row, int32_t words, uint32_t key,
                       uint32_t keyBits) {
    for (int32_t w = 0; w < words; ++w, row += 32 * B) {
        uint32_t equal = 0;  // bit i: pixel i is the key
        if constexpr (B == 4) {
            const __m256i k = broadcast<4>(key), kb = broadcast<4>(keyBits);
            for (int j = 0; j < 4; ++j) {
                const __m256i eq =
                    _mm256_cmpeq_epi32(_mm256_and_si256(load32(row + 32 * j), kb), k);
                equal |= static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(eq)))
                         << (8 * j);
            }
        } else if constexpr (B == 2) {
            const __m256i k = broadcast<2>(key), kb = broadcast<2>(keyBits);
            const __m256i a = _mm256_cmpeq_epi16(_mm256_and_si256(load32(row), kb), k);
            const __m256i b = _mm256_cmpeq_epi16(_mm256_and_si256(load32(row + 32), kb), k);
            // packs works per 128-bit lane; put the four quarters back in pixel order.
            const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packs_epi16(a, b), 0xD8);
            equal = static_cast<uint32_t>(_mm256_movemask_epi8(bytes));
        } else {
            const __m128i k = _mm_set1_epi32(static_cast<int32_t>(key & 0xFFFFFF));
            const __m128i kb = _mm_set1_epi32(static_cast<int32_t>(keyBits & 0xFFFFFF));
            const __m128i widen =
                _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
            // The last group is loaded 4 bytes early so no byte past the word is read.
            const __m128i widenLast =
                _mm_setr_epi8(4, 5, 6, -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
            for (int j = 0; j < 8; ++j) {
                const __m128i px = j < 7 ? _mm_shuffle_epi8(load16(row + 12 * j), widen)
                                         : _mm_shuffle_epi8(load16(row + 80), widenLast);
                const __m128i eq = _mm_cmpeq_epi32(_mm_and_si128(px, kb), k);
                equal |= static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(eq))) << (4 * j);
            }
        }
        out[w] = reverseBits(~equal);
    }
}

// Vectors of 8 (4-byte) or 16 (2-byte) pixels blended from their bits (a blend, not a masked
// store: masked stores are slow on some CPUs); the last few pixels of a row one by one.
template <int B>
TX_AVX2 void stipple(uint8_t* dst, ptrdiff_t pitch, const uint64_t* bits, int32_t width,
                     int32_t rows, uint32_t value) {
    constexpr int32_t kStep = B == 2 ? 16 : 8;
    const int32_t whole = B == 3 ? 0 : width / kStep * kStep;
    const __m256i v = broadcast < B == 3 ? 4 : B > (value);
    const __m256i lanes = B == 2 ? _mm256_setr_epi16(1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024,
                                                     2048, 4096, 8192, 16384, -32768)
                                 : _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
    for (int32_t r = 0; r < rows; ++r, dst += pitch) {
        const uint64_t row = bits[r];
        if (row == 0) continue;  // text leaves many rows and groups empty: nothing to load
        for (int32_t x = 0; x < whole; x += kStep) {
            const auto part = static_cast<uint32_t>(row >> x);
            if ((part & (B == 2 ? 0xFFFFu : 0xFFu)) == 0) continue;
            __m256i on;
            if constexpr (B == 2) {
                const __m256i sel = _mm256_set1_epi16(static_cast<int16_t>(part & 0xFFFF));
                on = _mm256_cmpeq_epi16(_mm256_and_si256(sel, lanes), lanes);
            } else {
                const __m256i sel = _mm256_set1_epi32(static_cast<int32_t>(part & 0xFF));
                on = _mm256_cmpeq_epi32(_mm256_and_si256(sel, lanes), lanes);
            }
            uint8_t* p = dst + x * B;
            store32(p, _mm256_blendv_epi8(load32(p), v, on));
        }
        stipplePixels<B>(dst, row, whole, width, value);
    }
}

template <int B>
constexpr RowOps avx2Ops() {
    if constexpr (B == 3) {
        return {fill<3>, copy<3>, copyKeyed24, maskWords<3>, stipple<3>};
    } else {
        return {fill<B>, copy<B>, copyKeyed<B>, maskWords<B>, stipple<B>};
    }
}

constexpr KernelSet kAvx2{"avx2", {avx2Ops<2>(), avx2Ops<3>(), avx2Ops<4>()}};

}  // namespace

const KernelSet* avx2Kernels() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr;
}

#endif

}  // namespace tx::kernels
