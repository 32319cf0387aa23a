// HostCanvas: pixel memory, drawing state, locking, single pixels and the collision mask.
#include "host_canvas.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "pixel_kernels.h"

namespace tx {

// Rows start 64-byte aligned (whole cache lines, aligned vectors for every kernel).
struct HostCanvas::PixelStore {
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };

    using Memory = std::unique_ptr<uint8_t, Free>;

    PixelStore(Memory&& memory, int32_t w, int32_t h, ptrdiff_t rowBytes, const PixelFormat& f)
        : bytes(std::move(memory)), width(w), height(h), pitch(rowBytes), format(f) {}

    Memory bytes;
    int32_t width;
    int32_t height;
    ptrdiff_t pitch;
    PixelFormat format;
};

std::unique_ptr<HostCanvas> HostCanvas::create(int32_t width, int32_t height,
                                               const PixelFormat& format, uint32_t flags) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
    const ptrdiff_t pitch = (ptrdiff_t{width} * format.bytesPerPixel() + 63) & ~ptrdiff_t{63};
    const size_t size = static_cast<size_t>(pitch) * static_cast<size_t>(height);
    PixelStore::Memory memory(static_cast<uint8_t*>(std::aligned_alloc(64, size)));
    if (memory == nullptr) return nullptr;
    std::memset(memory.get(), 0, size);
    try {
        auto store = std::make_shared<PixelStore>(std::move(memory), width, height, pitch, format);
        return std::make_unique<HostCanvas>(Key{}, std::move(store), flags);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<HostCanvas> HostCanvas::createSharing(const HostCanvas& pixelsOf, uint32_t flags) {
    try {
        return std::make_unique<HostCanvas>(Key{}, pixelsOf.pixels_, flags);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HostCanvas::HostCanvas(Key, std::shared_ptr<PixelStore> pixels, uint32_t flags)
    : pixels_(std::move(pixels)),
      bits_(pixels_->bytes.get()),
      pitch_(pixels_->pitch),
      ops_(&kernels::activeKernels().forBytes(pixels_->format.bytesPerPixel())),
      format_(pixels_->format),
      bounds_{0, 0, pixels_->width, pixels_->height},
      flags_(flags),
      viewport_(bounds_),
      color_(format_.fromARGB(0xFFFFFFFFu)),
      clsColor_(format_.fromARGB(0xFF000000u)),
      maskColor_(format_.fromARGB(0)),
      maskStride_((pixels_->width + 31) / 32) {}

HostCanvas::~HostCanvas() = default;

// ---- Drawing state

void HostCanvas::setViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    const Rect r = Rect::sized(x, y, width, height).intersect(bounds_);
    viewport_ = r.empty() ? Rect{} : r;
}

void HostCanvas::setColor(uint32_t argb) {
    colorARGB_ = argb | 0xFF000000u;
    color_ = format_.fromARGB(colorARGB_);
}

void HostCanvas::setMask(uint32_t argb) {
    const uint32_t value = format_.fromARGB(argb);
    // The mask keeps the old transparency; the next whole rebuild takes the new one.
    if (mask_ != nullptr && value != maskColor_) maskStale_ = true;
    maskColor_ = value;
}

// ---- Locking

void HostCanvas::lock() {
    if (lockCount_++ == 0) stampAtLock_ = presentStamp();
}

void HostCanvas::unlock() {
    if (lockCount_ == 0) return;
    if (lockCount_ == 1 && mask_ != nullptr && presentStamp() != stampAtLock_) {
        // Pixels changed under the lock. Where the mask is known to be current everywhere
        // else, refreshing what was written is enough; otherwise rebuild it whole.
        const bool whole = maskStale_ || pixels_.use_count() > 1;
        updateMask(whole ? bounds_ : maskPending_);
    }
    if (--lockCount_ == 0) maskPending_ = Rect{};
}

// ---- Change stamp and mask upkeep

void HostCanvas::markDrawn(const Rect& area) {
    const Rect r = area.intersect(bounds_);
    if (!r.empty()) pixelsWritten(r, 1);
}

bool HostCanvas::exchangePixels(HostCanvas& other) {
    if (other.bounds_ != bounds_ || other.format_.bytesPerPixel() != format_.bytesPerPixel() ||
        other.pitch_ != pitch_)
        return false;
    std::swap(pixels_, other.pixels_);
    std::swap(bits_, other.bits_);
    markDrawn(bounds_);
    other.markDrawn(other.bounds_);
    return true;
}

void HostCanvas::drawn(const Rect& area, uint32_t stampSteps) {
    advanceStamp(stampSteps);
    if (mask_ != nullptr) updateMask(area);
}

void HostCanvas::pixelsWritten(const Rect& area, uint32_t stampSteps) {
    advanceStamp(stampSteps);
    if (mask_ == nullptr) return;
    if (lockCount_ > 0) {
        maskPending_ = maskPending_.unite(area);
    } else {
        updateMask(area);
    }
}

void HostCanvas::ensureMask() {
    if (mask_ != nullptr) return;
    mask_ = std::make_unique<uint32_t[]>(static_cast<size_t>(maskStride_) * bounds_.y1);
    updateMask(bounds_);
}

void HostCanvas::updateMask(const Rect& area) {
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

// ---- Single pixels

void HostCanvas::setPixelAt(int32_t x, int32_t y, uint32_t argb) {
    if (!viewport_.contains(x, y)) return;
    lock();
    format_.storeARGB(pixelAddress(x, y), argb);
    pixelsWritten({x, y, x + 1, y + 1}, 1);
    unlock();
}

void HostCanvas::setPixel(int32_t x, int32_t y, uint32_t argb) {
    setPixelAt(wrapAdd(x, origin_.x), wrapAdd(y, origin_.y), argb);
}

uint32_t HostCanvas::getPixel(int32_t x, int32_t y) const {
    x = wrapAdd(x, origin_.x);
    y = wrapAdd(y, origin_.y);
    if (!viewport_.contains(x, y)) return getMask();
    return format_.loadARGB(pixelAddress(x, y));
}

void HostCanvas::setPixelFast(int32_t x, int32_t y, uint32_t argb) {
    if (!bounds_.contains(x, y)) return;
    format_.storeARGB(pixelAddress(x, y), argb);
    pixelsWritten({x, y, x + 1, y + 1}, 1);
}

uint32_t HostCanvas::getPixelFast(int32_t x, int32_t y) const {
    if (!bounds_.contains(x, y)) return getMask();
    return format_.loadARGB(pixelAddress(x, y));
}

void HostCanvas::copyPixel(int32_t dx, int32_t dy, const HostCanvas& source, int32_t sx,
                           int32_t sy) {
    dx = wrapAdd(dx, origin_.x);
    dy = wrapAdd(dy, origin_.y);
    sx = wrapAdd(sx, source.origin_.x);
    sy = wrapAdd(sy, source.origin_.y);
    if (!viewport_.contains(dx, dy) || !source.viewport_.contains(sx, sy)) return;
    copyPixelFast(dx, dy, source, sx, sy);
}

void HostCanvas::copyPixelFast(int32_t dx, int32_t dy, const HostCanvas& source, int32_t sx,
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
