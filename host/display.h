// The display: the graphics mode open on the window, the display devices and their modes, the
// presentation of the mode's front buffer (on a flip, and as a repaint of drawing done without
// one), the vertical blank and the pointer. It drives a video device (SDL, or the null device
// of tests) and keeps all of the logic itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "display_devices.h"
#include "display_frame.h"
#include "message_painter.h"
#include "vertical_blank.h"
#include "video_device.h"

namespace tx {

class DebuggerRelay;

// TERVEX_INTEGER_SCALE set to anything but empty or "0".
bool integerScalingRequested();

// Which graphics mode is open on the window.
enum class GraphicsMode : int32_t {
    None = 0,
    WindowedScaled = 1,
    WindowedFixed = 2,
    Fullscreen = 3
};

class Display {
public:
    // openGraphics flags.
    static constexpr uint32_t kWindowed = 1;
    static constexpr uint32_t kScaled = 2;  // windowed only: the picture stretches
    // Largest width or height of a mode.
    static constexpr int32_t kMaxSide = 32768;

    // Integer scaling starts as TERVEX_INTEGER_SCALE says (integerScalingRequested).
    Display(VideoDevice& video, DebuggerRelay& debugger);
    ~Display() { closeGraphics(); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Display devices, indices 0-based (callers validate them; out of range gives 0 or empty).
    // The first count lists every display; until then only the primary one is known.
    int32_t countGraphicsDrivers();
    std::string graphicsDriverName(int32_t driver);
    int32_t countGraphicsModes(int32_t driver);
    DisplayModeInfo graphicsModeInfo(int32_t driver, int32_t mode);

    // Opens a mode on the window and shows the window. Windowed modes use the primary display
    // in the desktop's depth: fixed sizes the client area to width x height and centres it,
    // scaled keeps a resizable window and stretches the picture over it. Full screen covers
    // the driver's display, the picture as large as fits with its aspect ratio kept; the mode
    // must be one the driver lists (depth 0 takes the first depth of 16, 24 and 32 that it
    // has). Returns the depth the frames must have, or none (nothing changed) when a mode is
    // already open or this one cannot be set. Nothing is shown until showFrames.
    std::optional<int32_t> openGraphics(int32_t width, int32_t height, int32_t depth,
                                        int32_t driverIndex, uint32_t flags);
    // The front and back buffer of the open mode; they must outlive it (or be replaced). In
    // windowed modes they share their pixels. The window is painted at the next idle.
    void showFrames(const FrameSource* front, const FrameSource* back);
    // Closes the open mode; a full-screen window gets its placement back. The window stays.
    void closeGraphics();
    bool graphicsOpen() const { return open_.has_value(); }
    GraphicsMode graphicsMode() const { return open_ ? open_->mode : GraphicsMode::None; }

    // Presents the front buffer if it or the back buffer changed since the last presentation.
    // vwait: present at the display's vertical blank (without vsync when false).
    void flip(bool vwait);
    // Returns at the start of the next vertical blank.
    void vwait();
    // The line the display is scanning; 0 in the vertical blank or without a mode.
    int32_t scanLine() const;

    // ---- The player's comforts, never seen by the program: its mode, size, depth and buffers
    // stay as they are.
    // Alt+Enter: a window covers its monitor, or the window that covers it becomes a window
    // again (a full-screen mode's shows the picture at its own size, resizable). False when
    // nothing is open or the platform refused.
    bool toggleFullscreen();
    // Whether the window covers a monitor now (a full-screen mode, or a toggled window).
    bool showingFullscreen() const { return open_ && open_->shownFullscreen; }
    // Whether losing the focus suspends the program: a full-screen mode that covers the
    // monitor. A full-screen mode the player made a window, and a window the player made
    // cover the monitor, run on as windows do.
    bool suspendsWhenAway() const {
        return graphicsMode() == GraphicsMode::Fullscreen && showingFullscreen();
    }
    // Scales the scaled window and full screen by the largest whole factor that fits.
    void setIntegerScaling(bool on);
    bool integerScaling() const { return integerScaling_; }
    // F12: writes the front buffer as presented into the current directory (see screenshot.h):
    // at once when the front buffer is what was last presented, else as the next frame is
    // presented. A line on standard error names the file.
    void requestScreenshot();
    // Shows a message box drawn by the painter over the last presented picture (leaving full
    // screen first, so that a dialog shown next is not hidden behind it). Nothing without an
    // open mode or a painter.
    void showMessage(std::string_view title, std::string_view message);
    // The graphics side's painter (null: none); it must outlive its registration.
    void setMessagePainter(MessagePainter* painter) { painter_ = painter; }
    MessagePainter* messagePainter() const { return painter_; }
    // Where screenshots go; the current directory unless a test says otherwise.
    void setScreenshotDirectory(std::string directory) {
        screenshotDirectory_ = std::move(directory);
    }
    // The path of the last screenshot written ("" before any, or when the last one failed).
    const std::string& lastScreenshot() const { return lastScreenshot_; }

    // Full screen always hides the pointer; windowed modes show it as set here.
    void setPointerVisible(bool visible);
    bool pointerVisible() const { return pointerVisible_; }
    // Places the pointer at a position of the open mode's picture (screen coordinates without
    // a mode).
    void moveMouse(int32_t x, int32_t y);
    // The picture's pixel under a pixel of the window's client area, clamped to the picture
    // (without a mode, the window pixel itself).
    std::pair<int32_t, int32_t> pictureOfWindow(int32_t x, int32_t y);
    // The open mode's size; 0 x 0 without one.
    std::pair<int32_t, int32_t> graphicsSize() const {
        return open_ ? std::pair{open_->width, open_->height} : std::pair{0, 0};
    }
    // Full screen owns the keyboard and mouse (the pointer is captured) while it shows; each
    // change of ownership by the program's mode or a suspension counts one more, so that the
    // input devices start afresh. The player's full-screen toggle moves the capture (a
    // full-screen mode shown as a window lets the pointer go) without counting.
    bool inputCaptured() const { return inputCaptured_; }
    uint32_t inputCaptureChanges() const { return inputCaptureChanges_; }

    // ---- For the event pump
    // The window lost its picture (exposed, resized): paint it again.
    void repaint();
    // The front buffer was drawn without a flip: show it (at most every 100 ms).
    void repaintIfDrawn();
    // Suspending a full-screen program gives the desktop back; resuming takes the display
    // again and shows the front buffer.
    void leaveFullscreenForSuspend();
    void returnFullscreenFromSuspend();
    void showAfterResume();

    VideoDevice& video() { return video_; }

private:
    struct OpenMode {
        GraphicsMode mode = GraphicsMode::None;
        int32_t width = 0;
        int32_t height = 0;
        int32_t depth = 0;
        VerticalBlank blank;

        // The pictures to show, once the graphics side has made them.
        const FrameSource* front = nullptr;
        const FrameSource* back = nullptr;
        // Their stamps at the last presentation. Front and back are tracked apart: in windowed
        // modes they share pixels but count their changes separately, so one stamp alone
        // could come round to the other's value and hide a change.
        bool presented = false;
        uint32_t frontStamp = 0;
        uint32_t backStamp = 0;
        std::chrono::steady_clock::time_point nextRepaintCheck{};
        // The window covers the monitor (full-screen mode, or toggled there by the player).
        bool shownFullscreen = false;
        // A full-screen mode has been shown as a window (which keeps its placement after).
        bool shownAsWindow = false;
        // A screenshot waits for the next frame presented.
        bool screenshotPending = false;
        // Flips presented with the renderer's vsync since `syncedSince`, and whether the
        // renderer was found to return at once (its vsync does not block), so the modelled
        // blank paces those flips instead.
        int32_t syncedFlips = 0;
        std::chrono::steady_clock::time_point syncedSince{};
        bool vsyncDoesNotBlock = false;

        bool changedSincePresented() const;
    };

    std::optional<int32_t> openWindowed(int32_t width, int32_t height, uint32_t flags);
    std::optional<int32_t> openFullscreen(int32_t width, int32_t height, int32_t depth,
                                          int32_t driverIndex);
    const std::vector<GraphicsDriverInfo>& drivers();
    Placement placement() const;
    // Uploads and presents the front buffer; false when the upload failed.
    bool paint();
    // Captures the pointer or lets it go. forProgram: the program's own mode (full screen
    // takes the input, a window or suspension gives it back), which counts as a change of
    // ownership; the player's toggles do not.
    void captureInput(bool captured, bool forProgram);
    void writeScreenshot(const FramePixels& frame);
    // Paces vsync flips by the modelled blank once the renderer is seen not to wait.
    void noteSyncedFlip(bool presented);

    VideoDevice& video_;
    DebuggerRelay& debugger_;
    std::vector<GraphicsDriverInfo> drivers_;
    bool allDriversEnumerated_ = false;
    bool pointerVisible_ = true;
    bool inputCaptured_ = false;
    bool programCaptured_ = false;
    uint32_t inputCaptureChanges_ = 0;
    bool integerScaling_ = false;
    MessagePainter* painter_ = nullptr;
    std::string screenshotDirectory_ = ".";
    std::string lastScreenshot_;
    std::optional<OpenMode> open_;
};

}  // namespace tx
