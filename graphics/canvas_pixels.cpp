#include "canvas_pixels.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "pixel_kernels.h"

namespace tx {

// Rows start 64-byte aligned (whole cache lines, aligned vectors for every kernel).
struct CanvasPixels::Memory {
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };

    using Bytes = std::unique_ptr<uint8_t, Free>;

    Memory(Bytes&& memory, int32_t w, int32_t h, ptrdiff_t rowBytes, const PixelFormat& f)
        : bytes(std::move(memory)), width(w), height(h), pitch(rowBytes), format(f) {}

    Bytes bytes;
    int32_t width;
    int32_t height;
    ptrdiff_t pitch;
    PixelFormat format;
};

std::shared_ptr<CanvasPixels::Memory> CanvasPixels::allocate(int32_t width, int32_t height,
                                                             const PixelFormat& format) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
    const ptrdiff_t pitch = (ptrdiff_t{width} * format.bytesPerPixel() + 63) & ~ptrdiff_t{63};
    const size_t size = static_cast<size_t>(pitch) * static_cast<size_t>(height);
    Memory::Bytes bytes(static_cast<uint8_t*>(std::aligned_alloc(64, size)));
    if (bytes == nullptr) return nullptr;
    std::memset(bytes.get(), 0, size);
    try {
        return std::make_shared<Memory>(std::move(bytes), width, height, pitch, format);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CanvasPixels::CanvasPixels(std::shared_ptr<Memory> memory)
    : memory_(std::move(memory)),
      bits_(memory_->bytes.get()),
      pitch_(memory_->pitch),
      ops_(&kernels::activeKernels().forBytes(memory_->format.bytesPerPixel())),
      format_(memory_->format),
      bounds_{0, 0, memory_->width, memory_->height},
      maskColor_(format_.fromARGB(0)),
      maskStride_((memory_->width + 31) / 32) {}

CanvasPixels::~CanvasPixels() = default;

void CanvasPixels::setMask(uint32_t argb) {
    const uint32_t value = format_.fromARGB(argb);
    // The mask keeps the old transparency; the next whole rebuild takes the new one.
    if (mask_ != nullptr && value != maskColor_) maskStale_ = true;
    maskColor_ = value;
}

// ---- Locking

void CanvasPixels::lock() {
    if (lockCount_++ == 0) stampAtLock_ = presentStamp();
}

void CanvasPixels::unlock() {
    if (lockCount_ == 0) return;
    if (lockCount_ == 1 && mask_ != nullptr && presentStamp() != stampAtLock_) {
        // Pixels changed under the lock. Where the mask is known to be current everywhere
        // else, refreshing what was written is enough; otherwise rebuild it whole.
        const bool whole = maskStale_ || memory_.use_count() > 1;
        updateMask(whole ? bounds_ : maskPending_);
    }
    if (--lockCount_ == 0) maskPending_ = Rect{};
}

// ---- Change stamp and mask upkeep

void CanvasPixels::markDrawn(const Rect& area) {
    const Rect r = area.intersect(bounds_);
    if (!r.empty()) pixelsWritten(r, 1);
}

bool CanvasPixels::exchangePixels(CanvasPixels& other) {
    if (other.bounds_ != bounds_ || other.format_.bytesPerPixel() != format_.bytesPerPixel() ||
        other.pitch_ != pitch_)
        return false;
    std::swap(memory_, other.memory_);
    std::swap(bits_, other.bits_);
    markDrawn(bounds_);
    other.markDrawn(other.bounds_);
    return true;
}

void CanvasPixels::drawn(const Rect& area, uint32_t stampSteps) {
    advanceStamp(stampSteps);
    if (mask_ != nullptr) updateMask(area);
}

void CanvasPixels::pixelsWritten(const Rect& area, uint32_t stampSteps) {
    advanceStamp(stampSteps);
    if (mask_ == nullptr) return;
    if (lockCount_ > 0) {
        maskPending_ = maskPending_.unite(area);
    } else {
        updateMask(area);
    }
}

void CanvasPixels::ensureMask() {
    if (mask_ != nullptr) return;
    mask_ = std::make_unique<uint32_t[]>(static_cast<size_t>(maskStride_) * bounds_.y1);
    updateMask(bounds_);
}

void CanvasPixels::updateMask(const Rect& area) {
    if (mask_ == nullptr) return;
    const Rect r = area.intersect(bounds_);
    if (r.empty()) return;
    if (r == bounds_) maskStale_ = false;
    const int32_t bpp = format_.bytesPerPixel();
    const uint32_t keyBits = format_.rgbBits();
    const uint32_t key = maskColor_ & keyBits;
    const int32_t k0 = r.x0 / 32, k1 = (r.x1 - 1) / 32;
    const int32_t wholeWords = bounds_.x1 / 32;  // words with all 32 columns inside the width
    const int32_t fullEnd = std::min(k1 + 1, wholeWords);
    for (int32_t y = r.y0; y < r.y1; ++y) {
        uint32_t* words = mask_.get() + ptrdiff_t{y} * maskStride_;
        const uint8_t* row = pixelAddress(0, y);
        if (k0 < fullEnd)
            ops_->maskWords(words + k0, row + k0 * 32 * bpp, fullEnd - k0, key, keyBits);
        if (k1 >= wholeWords) {
            // The last word of the row: the columns past the width stay 0.
            words[k1] = kernels::maskWordScalar(row + k1 * 32 * bpp, bpp, bounds_.x1 - k1 * 32, key,
                                                keyBits);
        }
    }
}

// ---- Raw pixels

void CanvasPixels::setPixelFast(int32_t x, int32_t y, uint32_t argb) {
    if (!bounds_.contains(x, y)) return;
    format_.storeARGB(pixelAddress(x, y), argb);
    pixelsWritten({x, y, x + 1, y + 1}, 1);
}

uint32_t CanvasPixels::getPixelFast(int32_t x, int32_t y) const {
    if (!bounds_.contains(x, y)) return getMask();
    return format_.loadARGB(pixelAddress(x, y));
}

void CanvasPixels::copyPixelFast(int32_t dx, int32_t dy, const CanvasPixels& source, int32_t sx,
                                 int32_t sy) {
    if (!bounds_.contains(dx, dy) || !source.bounds_.contains(sx, sy)) return;
    uint8_t* to = pixelAddress(dx, dy);
    const uint8_t* from = source.pixelAddress(sx, sy);
    if (source.format_.bytesPerPixel() == format_.bytesPerPixel()) {
        std::memmove(to, from, static_cast<size_t>(format_.bytesPerPixel()));
    } else {
        format_.storeARGB(to, source.format_.loadARGB(from));
    }
    // The stamp stays; the mask catches up with the next whole rebuild.
    if (mask_ != nullptr) maskStale_ = true;
}

}  // namespace tx
