// CanvasPixels: a picture's pixel store in host memory in the display's pixel format, with
// nested locking, a change stamp for presentation, the mask colour and an optional one-bit
// collision mask. It knows nothing of drawing state; HostCanvas adds that and the drawing.
//
// Coordinates here are canvas coordinates (no origin, no viewport). Colour arguments and
// results are ARGB unless a name says "value" (the pixel as the canvas stores it, see
// PixelFormat).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "canvas_geometry.h"
#include "pixel_format.h"

namespace tx {

namespace kernels {
struct RowOps;
}

class CanvasPixels {
public:
    // Largest width or height of a canvas.
    static constexpr int32_t kMaxSide = 32768;

    CanvasPixels(const CanvasPixels&) = delete;
    CanvasPixels& operator=(const CanvasPixels&) = delete;

    // ---- Size and format
    int32_t getWidth() const { return bounds_.x1; }
    int32_t getHeight() const { return bounds_.y1; }
    int32_t getDepth() const { return format_.depth(); }
    const PixelFormat& format() const { return format_; }
    Rect bounds() const { return bounds_; }
    bool sharesPixelsWith(const CanvasPixels& other) const { return memory_ == other.memory_; }

    // ---- Locking and raw rows
    // Locks nest; the outermost unlock brings the collision mask up to date if pixels were
    // written under the lock. Unlocking a canvas that is not locked does nothing.
    void lock();
    void unlock();
    bool isLocked() const { return lockCount_ > 0; }
    int32_t lockCount() const { return lockCount_; }
    // First pixel and bytes per row. The pixels live in host memory, so both stay valid for the
    // canvas's life; code that writes through bits() reports it with markDrawn.
    uint8_t* bits() { return bits_; }
    const uint8_t* pixels() const { return bits_; }
    ptrdiff_t pitch() const { return pitch_; }
    uint8_t* pixelAddress(int32_t x, int32_t y) {
        return bits_ + y * pitch_ + static_cast<ptrdiff_t>(x) * format_.bytesPerPixel();
    }
    const uint8_t* pixelAddress(int32_t x, int32_t y) const {
        return bits_ + y * pitch_ + static_cast<ptrdiff_t>(x) * format_.bytesPerPixel();
    }

    // ---- Change stamp
    // Advanced by every drawing operation; read by presentation, also from another thread.
    uint32_t presentStamp() const { return presentStamp_.load(std::memory_order_relaxed); }
    void setPresentStamp(uint32_t stamp) { presentStamp_.store(stamp, std::memory_order_relaxed); }
    // presentStamp when the outermost lock was taken.
    uint32_t stampAtLock() const { return stampAtLock_; }
    // Code outside the canvas wrote the pixels of `area` (canvas coordinates) through bits():
    // advances the stamp and keeps the collision mask current there.
    void markDrawn(const Rect& area);
    // Trades pixel memory with a canvas of the same size and pixel format (the two pages of a
    // flipping display); each keeps its drawing state and both count as drawn. False, with
    // nothing changed, for canvases that differ.
    bool exchangePixels(CanvasPixels& other);

    // ---- Raw pixels: no origin, no viewport. A point outside the canvas is not written, and
    // reads as the mask colour, so a wrong coordinate can never reach outside the pixels.
    void setPixelFast(int32_t x, int32_t y, uint32_t argb);
    uint32_t getPixelFast(int32_t x, int32_t y) const;
    // Copies one pixel's raw bytes from `source` (which is expected to share this pixel format;
    // one of another pixel size is converted through ARGB); both points must be inside their
    // canvases. The stamp does not advance.
    void copyPixelFast(int32_t dx, int32_t dy, const CanvasPixels& source, int32_t sx, int32_t sy);

    // ---- Mask colour: the transparent colour of masked blits and of the collision mask
    // (alpha not forced). An existing collision mask is not rebuilt: drawing refreshes it where
    // it draws.
    void setMask(uint32_t argb);
    uint32_t getMask() const { return format_.toARGB(maskColor_); }
    uint32_t maskValue() const { return maskColor_; }

    // ---- Collision mask: one bit per pixel, maskStride() words per row; bit 31 of a word is
    // its leftmost pixel; 1 = the pixel's red, green and blue differ from the mask colour's;
    // columns at or beyond the width are 0.
    bool hasMask() const { return mask_ != nullptr; }
    // Builds the mask over the whole canvas if it has none yet.
    void ensureMask();
    // Rebuilds every mask word that covers part of `area` (clipped to the bounds).
    void updateMask(const Rect& area);
    int32_t maskStride() const { return maskStride_; }
    const uint32_t* maskWords() const { return mask_.get(); }
    const uint32_t* maskRow(int32_t y) const { return mask_.get() + ptrdiff_t{y} * maskStride_; }

protected:
    struct Memory;

    // Pixels of their own, cleared to zero (black); null when the size is not 1..kMaxSide on
    // each side or the memory cannot be had.
    static std::shared_ptr<Memory> allocate(int32_t width, int32_t height,
                                            const PixelFormat& format);
    explicit CanvasPixels(std::shared_ptr<Memory> memory);
    ~CanvasPixels();
    const std::shared_ptr<Memory>& memory() const { return memory_; }

    // A drawing operation changed `area` (clipped): advance the stamp, refresh the mask.
    void drawn(const Rect& area, uint32_t stampSteps = 1);
    // Pixel writes under a lock: the mask catches up at the outermost unlock.
    void pixelsWritten(const Rect& area, uint32_t stampSteps);
    void advanceStamp(uint32_t steps) {
        presentStamp_.store(presentStamp_.load(std::memory_order_relaxed) + steps,
                            std::memory_order_relaxed);
    }

    std::shared_ptr<Memory> memory_;
    uint8_t* bits_ = nullptr;
    ptrdiff_t pitch_ = 0;
    const kernels::RowOps* ops_ = nullptr;  // fills and copies for this pixel size and CPU
    PixelFormat format_;
    Rect bounds_;
    uint32_t maskColor_ = 0;

private:
    std::atomic<uint32_t> presentStamp_{0};
    uint32_t stampAtLock_ = 0;
    int32_t lockCount_ = 0;

    std::unique_ptr<uint32_t[]> mask_;
    int32_t maskStride_ = 0;
    Rect maskPending_;        // written under the current lock, not yet in the mask
    bool maskStale_ = false;  // mask colour changed or raw copies: the next rebuild is whole
};

}  // namespace tx
