#include "frame_convert.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tx {
namespace {

uint32_t widen565(uint32_t p) {
    const uint32_t r = p >> 11, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

}  // namespace

void convertRow565(uint32_t* out, const uint8_t* in, int32_t width) {
    int32_t x = 0;
#if defined(__SSE2__)
    // Eight pixels at a time: each channel widened in 16-bit lanes, then blue and green
    // interleaved with red into 32-bit words.
    const __m128i low6 = _mm_set1_epi16(0x3F);
    const __m128i low5 = _mm_set1_epi16(0x1F);
    for (; x + 8 <= width; x += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * x));
        const __m128i r = _mm_srli_epi16(p, 11);
        const __m128i g = _mm_and_si128(_mm_srli_epi16(p, 5), low6);
        const __m128i b = _mm_and_si128(p, low5);
        const __m128i r8 = _mm_or_si128(_mm_slli_epi16(r, 3), _mm_srli_epi16(r, 2));
        const __m128i g8 = _mm_or_si128(_mm_slli_epi16(g, 2), _mm_srli_epi16(g, 4));
        const __m128i b8 = _mm_or_si128(_mm_slli_epi16(b, 3), _mm_srli_epi16(b, 2));
        const __m128i gb = _mm_or_si128(_mm_slli_epi16(g8, 8), b8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_unpacklo_epi16(gb, r8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), _mm_unpackhi_epi16(gb, r8));
    }
#endif
    for (; x < width; ++x) {
        uint16_t p;
        std::memcpy(&p, in + 2 * x, 2);
        out[x] = widen565(p);
    }
}

void convertRowBgr24(uint32_t* out, const uint8_t* in, int32_t width) {
    // A 4-byte load at a pixel holds blue, green, red in its low three bytes; the last pixel
    // of the row is read bytewise so that nothing past the row is touched.
    int32_t x = 0;
    for (; x + 1 < width; ++x) {
        uint32_t word;
        std::memcpy(&word, in + 3 * x, 4);
        out[x] = word & 0xFFFFFF;
    }
    if (x < width) {
        const uint8_t* p = in + 3 * x;
        out[x] = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
}

void convertRow(uint32_t* out, const uint8_t* in, int32_t width, int32_t depth) {
    if (depth == 16)
        convertRow565(out, in, width);
    else if (depth == 24)
        convertRowBgr24(out, in, width);
    else
        std::memcpy(out, in, static_cast<size_t>(width) * 4);
}

}  // namespace tx
