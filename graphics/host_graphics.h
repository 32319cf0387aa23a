// HostGraphics: the display the graphics commands draw on. It opens a mode on the host
// display, owns the front and back buffer canvases of that mode and every canvas made
// for it, issues their buffer handles, and hands the buffers to the display for presentation.
//
// Windowed modes have one picture that is both front and back buffer (two canvases sharing
// pixels, each with drawing state of its own); full screen has two pages that a flip exchanges.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "display.h"
#include "display_frame.h"
#include "handle_table.h"
#include "host_canvas.h"
#include "host_font.h"
#include "message_painter.h"

namespace tx {

class HostGraphics final : public MessagePainter {
public:
    // Opens the mode (flags and depth as Display::openGraphics takes them) with cleared
    // buffers whose handles go into `handles`. Null when the mode cannot be set.
    static std::unique_ptr<HostGraphics> open(Display& display, HandleTable<HostCanvas>& handles,
                                              int32_t width, int32_t height, int32_t depth,
                                              int32_t driverIndex, uint32_t flags);
    // Closes the mode, then frees every canvas; their handles name nothing afterwards.
private:
    struct Key {
        explicit Key() = default;
    };

public:
    // Made by open only (Key is private).
    HostGraphics(Key, Display& display, HandleTable<HostCanvas>& handles,
                 std::unique_ptr<HostCanvas> front, std::unique_ptr<HostCanvas> back);
    ~HostGraphics();
    HostGraphics(const HostGraphics&) = delete;
    HostGraphics& operator=(const HostGraphics&) = delete;

    HostCanvas& frontBuffer() { return *front_; }
    uint32_t frontHandle() const { return frontHandle_; }
    uint32_t backHandle() const { return backHandle_; }
    // Size and depth of the front buffer.
    int32_t getWidth() const { return front_->getWidth(); }
    int32_t getHeight() const { return front_->getHeight(); }
    int32_t getDepth() const { return front_->getDepth(); }
    const PixelFormat& format() const { return front_->format(); }
    // The 12-pixel monospaced font made with the display (null when no face could be had).
    HostFont* defaultFont() const { return defaultFont_.get(); }
    // Every canvas of the display that draws text in `gone` takes `with` instead (a font about
    // to be freed).
    void replaceFont(const HostFont* gone, HostFont* with);
    bool pageFlipping() const { return !front_->sharesPixelsWith(*back_); }

    // A new canvas in the display's format, cleared to black, owned by the display until freed.
    struct NewCanvas {
        uint32_t handle = 0;
        HostCanvas* canvas = nullptr;
    };
    // Nothing (handle 0) when the size is not 1..HostCanvas::kMaxSide each way or there is no
    // memory for it.
    NewCanvas createCanvas(int32_t width, int32_t height);
    // Takes a canvas made elsewhere in the display's format (a loaded picture); nothing when the
    // canvas is null, of another format, or the handle table is full (it is then destroyed).
    NewCanvas adoptCanvas(std::unique_ptr<HostCanvas> canvas);
    // The canvas a handle names: a buffer or a canvas of this display; null otherwise.
    HostCanvas* verifyCanvas(uint32_t handle) const { return handles_.find(handle); }
    // Whether the handle names a canvas made by createCanvas (not a buffer).
    bool ownsCanvas(uint32_t handle) const { return canvases_.count(handle) != 0; }
    // Frees a canvas made by createCanvas; other handles (the buffers included) do nothing.
    // Returns whether one was freed.
    bool freeCanvas(uint32_t handle);
    size_t canvasCount() const { return canvases_.size(); }

    // Full screen exchanges the pages' pixels first; then the display presents the front
    // buffer, at the vertical blank when vwait is set.
    void flip(bool vwait);
    void vwait() { display_.vwait(); }
    int32_t scanLine() const { return display_.scanLine(); }
    // A box with the title and the message, wrapped to fit the picture, in the default font
    // (the display shows it over the picture on a runtime error).
    void paintMessage(std::string_view title, std::string_view message, int32_t width,
                      int32_t height, const Show& show) override;

    // There is no video memory apart from host memory.
    int32_t totalVidMem() const { return 0; }
    int32_t availVidMem() const { return 0; }

private:
    // What the display reads of a buffer.
    class CanvasFrame final : public FrameSource {
    public:
        explicit CanvasFrame(const HostCanvas& canvas) : canvas_(canvas) {}
        FramePixels pixels() const override;
        uint32_t presentStamp() const override { return canvas_.presentStamp(); }

    private:
        const HostCanvas& canvas_;
    };

    void swapPages();

    Display& display_;
    HandleTable<HostCanvas>& handles_;
    std::unique_ptr<HostCanvas> front_;
    std::unique_ptr<HostCanvas> back_;
    CanvasFrame frontFrame_;
    CanvasFrame backFrame_;
    uint32_t frontHandle_ = 0;
    uint32_t backHandle_ = 0;
    std::unordered_map<uint32_t, std::unique_ptr<HostCanvas>> canvases_;
    std::unique_ptr<HostFont> defaultFont_;
};

}  // namespace tx
