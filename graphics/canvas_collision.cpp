#include "canvas_collision.h"

#include <algorithm>

namespace tx {
namespace {

// A canvas's box where it is drawn at (x, y), in 64 bits.
struct Placed {
    int64_t x, y, w, h;
};

Placed place(const HostCanvas& canvas, int32_t x, int32_t y) {
    const Point handle = canvas.getHandle();
    return {int64_t{x} - handle.x, int64_t{y} - handle.y, canvas.getWidth(), canvas.getHeight()};
}

// The bits of columns n..31 of a word, and of columns 0..n.
constexpr uint32_t startMask(int64_t n) {
    return 0xFFFFFFFFu >> n;
}
constexpr uint32_t endMask(int64_t n) {
    return 0xFFFFFFFFu << (31 - n);
}

// The rows of the overlap: L's words from k0 on, R's from 0, and how to meet them.
struct RowWalk {
    const uint32_t* left;
    const uint32_t* right;
    ptrdiff_t leftStride, rightStride;
    int64_t rows;
    int64_t n;  // L's words k0..k1-1 take R's words 0..n-1; L's word k1 takes R's word n
    int t;      // R's rows lie t bits right of L's word grid
    uint32_t lastMask;
    bool lastInRight;  // R's row has a word n (else it counts as 0)
};

// R's words pass through a 64-bit window, the word before above, the word itself below: one
// shift by t gives R's bits in L's word grid with the bits carried over from the word before
// (none when t is 0).
inline uint32_t shifted(uint32_t previous, uint32_t word, int t) {
    return static_cast<uint32_t>((uint64_t{previous} << 32 | word) >> t);
}

// Whether any row has a bit set in both. N is n when it is known in advance, else -1.
template <int N>
bool rowsMeet(const RowWalk& w) {
    const uint32_t* lw = w.left;
    const uint32_t* rw = w.right;
    const int64_t n = N >= 0 ? N : w.n;
    for (int64_t y = 0; y < w.rows; ++y, lw += w.leftStride, rw += w.rightStride) {
        uint32_t meet = 0, previous = 0;
        for (int64_t j = 0; j < n; ++j) {
            meet |= shifted(previous, rw[j], w.t) & lw[j];
            previous = rw[j];
        }
        meet |= shifted(previous, w.lastInRight ? rw[n] : 0, w.t) & lw[n] & w.lastMask;
        if (meet != 0) return true;
    }
    return false;
}

}  // namespace

bool boxesOverlap(int64_t x1, int64_t y1, int64_t w1, int64_t h1, int64_t x2, int64_t y2,
                  int64_t w2, int64_t h2) {
    return !(x1 + w1 <= x2 || x1 >= x2 + w2 || y1 + h1 <= y2 || y1 >= y2 + h2);
}

bool canvasesCollide(HostCanvas& a, int32_t ax, int32_t ay, HostCanvas& b, int32_t bx, int32_t by,
                     bool boxesOnly) {
    const Placed pa = place(a, ax, ay), pb = place(b, bx, by);
    if (!boxesOverlap(pa.x, pa.y, pa.w, pa.h, pb.x, pb.y, pb.w, pb.h)) return false;
    if (boxesOnly) return true;
    a.ensureMask();
    b.ensureMask();

    // L is the canvas further left; R's rows are shifted right by t bits into L's words.
    const bool aLeft = !(pb.x < pa.x);
    const HostCanvas& left = aLeft ? a : b;
    const HostCanvas& right = aLeft ? b : a;
    const Placed& pl = aLeft ? pa : pb;
    const Placed& pr = aLeft ? pb : pa;
    const int64_t s = pr.x - pl.x;
    const int t = static_cast<int>(s % 32);
    const int64_t c1 = std::min(pl.x + pl.w, pr.x + pr.w) - pl.x - 1;
    const int64_t k0 = s / 32, k1 = c1 / 32;
    const uint32_t lastMask = endMask(c1 % 32);
    // Per row: words k0..k1-1 of L against R's words 0..n-1 shifted in, then L's word k1
    // against R's word n (0 past the end of R's row), cut at the overlap's last column.
    const int64_t n = k1 - k0;
    const bool lastInRight = n < right.maskStride();
    const int64_t y0 = std::max(pl.y, pr.y), y1 = std::min(pl.y + pl.h, pr.y + pr.h);
    const uint32_t* lw = left.maskRow(static_cast<int32_t>(y0 - pl.y)) + k0;
    const uint32_t* rw = right.maskRow(static_cast<int32_t>(y0 - pr.y));
    const ptrdiff_t leftStride = left.maskStride(), rightStride = right.maskStride();
    const RowWalk walk{lw, rw, leftStride, rightStride, y1 - y0, n, t, lastMask, lastInRight};
    // Frames up to 64 pixels wide overlap in one or two of L's words: their rows take no loop.
    if (n == 0) return rowsMeet<0>(walk);
    if (n == 1) return rowsMeet<1>(walk);
    return rowsMeet<-1>(walk);
}

bool canvasRectCollide(HostCanvas& a, int32_t x, int32_t y, int32_t rx, int32_t ry, int32_t rw,
                       int32_t rh, bool boxOnly) {
    const Placed pa = place(a, x, y);
    if (!boxesOverlap(pa.x, pa.y, pa.w, pa.h, rx, ry, rw, rh)) return false;
    if (boxOnly) return true;
    if (rw <= 0 || rh <= 0) return false;
    a.ensureMask();

    const int64_t c0 = std::max<int64_t>(rx, pa.x) - pa.x;
    const int64_t c1 = std::min<int64_t>(int64_t{rx} + rw, pa.x + pa.w) - pa.x - 1;
    const int64_t k0 = c0 / 32, k1 = c1 / 32;
    uint32_t firstMask = startMask(c0 % 32);
    const uint32_t lastMask = endMask(c1 % 32);
    if (k0 == k1) firstMask &= lastMask;
    const int64_t y0 = std::max<int64_t>(pa.y, ry),
                  y1 = std::min<int64_t>(pa.y + pa.h, int64_t{ry} + rh);
    for (int64_t row = y0; row < y1; ++row) {
        const uint32_t* words = a.maskRow(static_cast<int32_t>(row - pa.y));
        if ((words[k0] & firstMask) != 0) return true;
        for (int64_t k = k0 + 1; k < k1; ++k)
            if (words[k] != 0) return true;
        if (k1 > k0 && (words[k1] & lastMask) != 0) return true;
    }
    return false;
}

}  // namespace tx
