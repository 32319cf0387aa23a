// What the display needs of the platform: the one window, the monitors, presentation of frames
// and the pointer. The SDL device drives a real (or offscreen) window; the null device keeps
// what it was asked to show so that tests can read it back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "display_frame.h"

namespace tx {

// How a picture fills the window's client area.
enum class Placement {
    actualSize,  // 1:1 at the top left
    stretch,     // to the whole client area
    letterbox,   // as large as fits with its aspect ratio kept, centred, black around it
    integer,     // the largest whole multiple that fits, centred, black around it (letterbox
                 // when not even one fits)
};

struct PixelRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Where a width x height picture lands in an output of outWidth x outHeight.
PixelRect placePicture(Placement placement, int32_t outWidth, int32_t outHeight, int32_t width,
                       int32_t height);

// A monitor as the platform reports it.
struct MonitorInfo {
    std::string name;
    int32_t desktopWidth = 0;  // 0 when unknown
    int32_t desktopHeight = 0;
    int32_t desktopDepth = 32;  // 16, 24 or 32
    int32_t refreshRate = 60;   // hertz
    // Further resolutions the monitor reports (width, height); filled only when asked for.
    std::vector<std::pair<int32_t, int32_t>> reportedSizes;
};

class VideoDevice {
public:
    virtual ~VideoDevice() = default;

    // True when nobody can see the window or answer a dialog.
    virtual bool headless() const = 0;

    // ---- Monitors (0 is the primary one)
    virtual int32_t monitorCount() = 0;
    // withSizes: also list the resolutions it reports (which takes longer).
    virtual MonitorInfo monitor(int32_t index, bool withSizes) = 0;

    // ---- The window
    virtual void setTitle(const std::string& title) = 0;
    // Shows the window with a client area of width x height centred on the primary monitor,
    // resizable when scaled. A scaled window that a mode has sized before keeps its size.
    virtual void showWindowed(int32_t width, int32_t height, bool scaled) = 0;
    // Covers the monitor with the window; false (placement unchanged) when that cannot be done.
    virtual bool enterFullscreen(int32_t width, int32_t height, int32_t monitor) = 0;
    // Gives the window the placement it had before enterFullscreen.
    virtual void leaveFullscreen() = 0;
    // The player's full-screen toggle: covers the window's monitor, or gives the window back
    // the placement it had before (the picture's own size and depth never change). False
    // (nothing changed) when that cannot be done.
    virtual bool setDesktopFullscreen(bool on) = 0;
    // Shows the window with a resizable client area of about width x height (no larger than
    // the monitor), centred on the monitor it is on.
    virtual void showResizable(int32_t width, int32_t height) = 0;
    virtual void minimize() = 0;
    // Restores a minimised window and raises it.
    virtual void restore() = 0;
    virtual PixelRect clientArea() = 0;  // x and y are 0
    virtual void showPointer(bool visible) = 0;
    // Places the pointer in the client area, or on the desktop.
    virtual void warpPointer(int32_t x, int32_t y) = 0;
    virtual void warpPointerOnDesktop(int32_t x, int32_t y) = 0;
    // Captures the pointer for relative motion (full screen) or lets it go.
    virtual void captureMouse(bool captured) = 0;
    // Asks OK or Cancel (over the window when it is shown); none when no dialog can be shown.
    virtual std::optional<bool> askOkCancel(const std::string& title, const std::string& text,
                                            bool overWindow) = 0;

    // ---- Presentation
    // Gets ready for frames of this size and depth; false when it cannot.
    virtual bool preparePresentation(int32_t width, int32_t height, int32_t depth) = 0;
    virtual void releasePresentation() = 0;
    // Shows the frame; false when it could not (nothing is shown).
    virtual bool present(const FramePixels& frame, Placement placement) = 0;
    // Shows the last frame presented again with `overlay` drawn over it at `at` (in the
    // frame's pixels, scaled with it). False when nothing could be shown.
    virtual bool presentOverlay(const FramePixels& overlay, PixelRect at, Placement placement) = 0;
    // Makes present wait for the vertical blank; false when it cannot.
    virtual bool setVSync(bool on) = 0;
};

}  // namespace tx
