// HostCanvas: a picture the graphics commands draw on (the buffers, every image frame): the
// pixel store of CanvasPixels plus the canvas's drawing state (origin, handle, viewport, the
// drawing and clear colours) and the drawing itself.
//
// Coordinates are 32-bit signed. Colour arguments and results are ARGB unless a name says
// "value" (a surface value: the pixel as the canvas stores it, see PixelFormat).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "canvas_geometry.h"
#include "canvas_pixels.h"
#include "pixel_format.h"

namespace tx {

class HostFont;

class HostCanvas : public CanvasPixels {
public:
    // A canvas with pixels of its own, cleared to zero (black); null when the size is not
    // 1..kMaxSide on each side or the memory cannot be had.
    static std::unique_ptr<HostCanvas> create(int32_t width, int32_t height,
                                              const PixelFormat& format);
    // A second canvas over the same pixels (a windowed display's front and back buffer), with
    // drawing state, stamp and mask of its own. Null when the memory cannot be had.
    static std::unique_ptr<HostCanvas> createSharing(const HostCanvas& pixelsOf);

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
    void setClsColor(uint32_t argb) {
        clsColorARGB_ = argb | 0xFF000000u;
        clsColor_ = format_.fromARGB(clsColorARGB_);
    }
    uint32_t getClsColor() const { return format_.toARGB(clsColor_); }
    uint32_t clsColorARGB() const { return clsColorARGB_; }
    uint32_t clsColorValue() const { return clsColor_; }
    // Font of text; not owned (the display or the program's font table owns it). Null draws no
    // text.
    void setFont(HostFont* font) { font_ = font; }
    HostFont* font() const { return font_; }

    // ---- Drawing (origin added, clipped to the viewport, in the drawing or clear colour)
    void cls();
    void plot(int32_t x, int32_t y);
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void rect(int32_t x, int32_t y, int32_t width, int32_t height, bool solid);
    void oval(int32_t x, int32_t y, int32_t width, int32_t height, bool solid);
    // The string with its top-left corner at (x, y) in the font and drawing colour. Only the
    // run of characters that reaches into the viewport is rendered; the viewport clips it.
    void text(int32_t x, int32_t y, std::string_view s);
    // Copies the w x h block at (sx, sy) of `source` to (dx, dy) plus this canvas's origin minus
    // the source's handle. Clipped to this viewport, then to the source's bounds. Not solid:
    // source pixels of the source's mask colour are skipped. The source may be this canvas,
    // also with overlapping rectangles (the result is as if the source were copied first).
    void blit(int32_t dx, int32_t dy, const HostCanvas& source, int32_t sx, int32_t sy,
              int32_t width, int32_t height, bool solid);

    // ---- Single pixels, with the origin added and clipped to the viewport; getPixel answers
    // the mask colour outside it. copyPixel adds each canvas's origin and needs both points in
    // their viewports; it does not advance the stamp. (CanvasPixels has the raw forms.)
    void setPixel(int32_t x, int32_t y, uint32_t argb);
    uint32_t getPixel(int32_t x, int32_t y) const;
    void copyPixel(int32_t dx, int32_t dy, const HostCanvas& source, int32_t sx, int32_t sy);

private:
    struct Key {
        explicit Key() = default;
    };

public:
    // For create and createSharing only (Key is private).
    HostCanvas(Key, std::shared_ptr<Memory> memory);

private:
    // The fill of a rectangle already clipped to the viewport.
    void fillClipped(const Rect& area, uint32_t value);
    // setPixel at a canvas position (origin already added).
    void setPixelAt(int32_t x, int32_t y, uint32_t argb);
    // The span [x0, x1) of row y, clipped to the viewport, in the drawing colour.
    void fillSpan(int64_t x0, int32_t y, int64_t x1);
    void ovalOutline(const Rect& box, const Rect& clipped, float cx, float cy, float ry2,
                     float aspect);
    void blitOverlapping(uint8_t* dst, const uint8_t* src, int32_t width, int32_t rows,
                         bool leftward, bool solid, uint32_t key, uint32_t keyBits);

    Rect viewport_;
    Point origin_;
    Point handle_;
    // Each ARGB colour before the value made from it (the constructor reads it).
    uint32_t colorARGB_ = 0xFFFFFFFFu;
    uint32_t color_ = 0;
    uint32_t clsColorARGB_ = 0xFF000000u;
    uint32_t clsColor_ = 0;
    HostFont* font_ = nullptr;
};

}  // namespace tx
