// The inner loops of the canvases: rectangle fills, block copies with and without a colour key,
// and collision-mask words, for 2-, 3- and 4-byte pixels. Each CPU gets the best set once (SSE2
// is the x86-64 baseline; AVX2 is chosen at run time); the scalar set is the portable reference
// that the others must match bit for bit.
//
// Row pitches may be negative (bottom-up copies). Copies require that the source and
// destination rows do not overlap; the canvas handles overlapping self-copies around them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tx::kernels {

struct RowOps {
    // rows x width pixels set to `value` (a surface value).
    void (*fill)(uint8_t* dst, ptrdiff_t pitch, int32_t width, int32_t rows, uint32_t value);
    // rows x width pixels copied.
    void (*copy)(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
                 int32_t width, int32_t rows);
    // As copy, but source pixels whose `keyBits` equal `key` are skipped.
    void (*copyKeyed)(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
                      int32_t width, int32_t rows, uint32_t key, uint32_t keyBits);
    // `words` collision-mask words from 32 * words pixels starting at `row`: bit 31 of each
    // word is its first pixel, a bit is 1 when the pixel's `keyBits` differ from `key`.
    void (*maskWords)(uint32_t* out, const uint8_t* row, int32_t words, uint32_t key,
                      uint32_t keyBits);
    // A stripe of `rows` rows of `width` (0..64) pixels: in row r, the pixels whose bit is set
    // in bits[r] (bit i: pixel i; bits past the width are ignored) set to `value`. The others
    // keep their values (a vector set may write them back unchanged, never past the width).
    void (*stipple)(uint8_t* dst, ptrdiff_t pitch, const uint64_t* bits, int32_t width,
                    int32_t rows, uint32_t value);
};

struct KernelSet {
    const char* name;
    RowOps ops[3];  // by bytes per pixel: 2, 3, 4
    const RowOps& forBytes(int32_t bytesPerPixel) const { return ops[bytesPerPixel - 2]; }
};

const KernelSet& scalarKernels();
const KernelSet& sse2Kernels();
const KernelSet* avx2Kernels();  // null when this CPU cannot run AVX2

// The set new canvases use: the best for this CPU unless a test chose another.
const KernelSet& activeKernels();

// Tests: canvases created while this lives use `set`.
class ScopedKernelOverride {
public:
    explicit ScopedKernelOverride(const KernelSet& set);
    ~ScopedKernelOverride();
    ScopedKernelOverride(const ScopedKernelOverride&) = delete;
    ScopedKernelOverride& operator=(const ScopedKernelOverride&) = delete;

private:
    const KernelSet* previous_;
};

// The collision-mask word of `count` (1..32) pixels starting at `row`, bits past them 0.
uint32_t maskWordScalar(const uint8_t* row, int32_t bytesPerPixel, int32_t count, uint32_t key,
                        uint32_t keyBits);

}  // namespace tx::kernels
