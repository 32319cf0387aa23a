// HostCanvas: a picture in host memory in the display's pixel format (the buffers, every image
// frame, font sheets), with the drawing state of the graphics commands, nested locking, a
// change stamp for presentation and an optional one-bit collision mask.
//
// Coordinates are 32-bit signed. Colour arguments and results are ARGB unless a name says
// "value" (a surface value: the pixel as the canvas stores it, see PixelFormat).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "canvas_geometry.h"
#include "pixel_format.h"

namespace tx {

class HostFont;  // the font of text drawing (fonts issue)

namespace kernels {
struct RowOps;
}

class HostCanvas {
public:
    // Creation flag: keep the pixels in system memory (all pixels are in host memory here).
    static constexpr uint32_t kSystemMemory = 0x2000;
    // Largest width or height of a canvas.
    static constexpr int32_t kMaxSide = 32768;

    // A canvas with pixels of its own, cleared to zero (black); null when the size is not
    // 1..kMaxSide on each side or the memory cannot be had.
    static std::unique_ptr<HostCanvas> create(int32_t width, int32_t height,
                                              const PixelFormat& format, uint32_t flags = 0);
    // A second canvas over the same pixels (a windowed display's front and back buffer), with
    // drawing state, stamp and mask of its own. Null when the memory cannot be had.
    static std::unique_ptr<HostCanvas> createSharing(const HostCanvas& pixelsOf,
                                                     uint32_t flags = 0);
    ~HostCanvas();
    HostCanvas(const HostCanvas&) = delete;
    HostCanvas& operator=(const HostCanvas&) = delete;

    // ---- Size and format
    int32_t getWidth() const { return bounds_.x1; }
    int32_t getHeight() const { return bounds_.y1; }
    int32_t getDepth() const { return format_.depth(); }
    const PixelFormat& format() const { return format_; }
    uint32_t flags() const { return flags_; }
    Rect bounds() const { return bounds_; }
    bool sharesPixelsWith(const HostCanvas& other) const { return pixels_ == other.pixels_; }

    // ---- Drawing state
    // Added to the coordinates of drawing operations and clipped pixel access.
    void setOrigin(int32_t x, int32_t y) { origin_ = {x, y}; }
    Point getOrigin() const { return origin_; }
    // Subtracted from the destination when this canvas is the source of a blit.
    void setHandle(int32_t x, int32_t y) { handle_ = {x, y}; }
    Point getHandle() const { return handle_; }
    // Viewport = (x, y, x + w, y + h) clipped to the bounds; (0, 0, 0, 0) when that is empty.
    // It is in canvas coordinates: the origin does not move it.
    void setViewport(int32_t x, int32_t y, int32_t width, int32_t height);
    Rect getViewport() const { return viewport_; }
    // Drawing colour: kept with alpha forced to 0xFF; getColor answers it as the canvas holds it.
    void setColor(uint32_t argb);
    uint32_t getColor() const { return format_.toARGB(color_); }
    uint32_t colorARGB() const { return colorARGB_; }
    uint32_t colorValue() const { return color_; }
    // Clear colour of cls, alpha forced to 0xFF.
    void setClsColor(uint32_t argb) { clsColor_ = format_.fromARGB(argb | 0xFF000000u); }
    uint32_t getClsColor() const { return format_.toARGB(clsColor_); }
    uint32_t clsColorValue() const { return clsColor_; }
    // Transparent colour of masked blits and of the collision mask (alpha not forced). An
    // existing collision mask is not rebuilt: drawing refreshes it where it draws.
    void setMask(uint32_t argb);
    uint32_t getMask() const { return format_.toARGB(maskColor_); }
    uint32_t maskValue() const { return maskColor_; }
    void setFont(HostFont* font) { font_ = font; }
    HostFont* font() const { return font_; }

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
    bool exchangePixels(HostCanvas& other);

    // ---- Drawing (origin added, clipped to the viewport, in the drawing or clear colour)
    void cls();
    void plot(int32_t x, int32_t y);
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void rect(int32_t x, int32_t y, int32_t width, int32_t height, bool solid);
    void oval(int32_t x, int32_t y, int32_t width, int32_t height, bool solid);
    // Copies the w x h block at (sx, sy) of `source` to (dx, dy) plus this canvas's origin minus
    // the source's handle. Clipped to this viewport, then to the source's bounds. Not solid:
    // source pixels of the source's mask colour are skipped. The source may be this canvas,
    // also with overlapping rectangles (the result is as if the source were copied first).
    void blit(int32_t dx, int32_t dy, const HostCanvas& source, int32_t sx, int32_t sy,
              int32_t width, int32_t height, bool solid);

    // ---- Single pixels
    // With the origin added and clipped to the viewport; getPixel answers the mask colour
    // outside it.
    void setPixel(int32_t x, int32_t y, uint32_t argb);
    uint32_t getPixel(int32_t x, int32_t y) const;
    // Raw: no origin, no viewport. A point outside the canvas is not written, and reads as the
    // mask colour, so a wrong coordinate can never reach outside the pixels.
    void setPixelFast(int32_t x, int32_t y, uint32_t argb);
    uint32_t getPixelFast(int32_t x, int32_t y) const;
    // Copy one pixel's raw bytes from `source` (which is expected to share this pixel format;
    // one of another pixel size is converted through ARGB). Neither advances the stamp.
    // copyPixel adds each canvas's origin and needs both points in their viewports;
    // copyPixelFast uses the coordinates as they are and needs both inside their canvases.
    void copyPixel(int32_t dx, int32_t dy, const HostCanvas& source, int32_t sx, int32_t sy);
    void copyPixelFast(int32_t dx, int32_t dy, const HostCanvas& source, int32_t sx, int32_t sy);

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

    // ---- Suspend and resume of a full-screen display: the pixels stay in host memory, so
    // there is nothing to save or restore.
    void saveContents() {}
    void restoreContents() {}

private:
    struct PixelStore;
    struct Key {
        explicit Key() = default;
    };

public:
    // For create and createSharing only (Key is private).
    HostCanvas(Key, std::shared_ptr<PixelStore> pixels, uint32_t flags);

private:
    // The fill of a rectangle already clipped to the viewport.
    void fillClipped(const Rect& area, uint32_t value);
    // A drawing operation changed `area` (clipped): advance the stamp, refresh the mask.
    void drawn(const Rect& area, uint32_t stampSteps = 1);
    // Pixel writes under a lock: the mask catches up at the outermost unlock.
    void pixelsWritten(const Rect& area, uint32_t stampSteps);
    void advanceStamp(uint32_t steps) {
        presentStamp_.store(presentStamp_.load(std::memory_order_relaxed) + steps,
                            std::memory_order_relaxed);
    }
    // setPixel at a canvas position (origin already added).
    void setPixelAt(int32_t x, int32_t y, uint32_t argb);
    // The span [x0, x1) of row y, clipped to the viewport, in the drawing colour.
    void fillSpan(int64_t x0, int32_t y, int64_t x1);
    void ovalOutline(const Rect& box, const Rect& clipped, float cx, float cy, float ry2,
                     float aspect);
    void blitOverlapping(uint8_t* dst, const uint8_t* src, int32_t width, int32_t rows,
                         bool leftward, bool solid, uint32_t key, uint32_t keyBits);

    std::shared_ptr<PixelStore> pixels_;
    uint8_t* bits_ = nullptr;
    ptrdiff_t pitch_ = 0;
    const kernels::RowOps* ops_ = nullptr;  // fills and copies for this pixel size and CPU
    PixelFormat format_;
    Rect bounds_;
    uint32_t flags_ = 0;

    std::atomic<uint32_t> presentStamp_{0};
    uint32_t stampAtLock_ = 0;
    int32_t lockCount_ = 0;

    Rect viewport_;
    Point origin_;
    Point handle_;
    uint32_t color_ = 0;
    uint32_t colorARGB_ = 0xFFFFFFFFu;
    uint32_t clsColor_ = 0;
    uint32_t maskColor_ = 0;
    HostFont* font_ = nullptr;

    std::unique_ptr<uint32_t[]> mask_;
    int32_t maskStride_ = 0;
    Rect maskPending_;        // written under the current lock, not yet in the mask
    bool maskStale_ = false;  // mask colour changed or raw copies: the next rebuild is whole
};

}  // namespace tx
