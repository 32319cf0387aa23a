#include "display.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "debugger_relay.h"
#include "screenshot.h"

namespace tx {
namespace {

using Clock = std::chrono::steady_clock;

// A front buffer drawn without a flip shows within this time.
constexpr auto kRepaintPeriod = std::chrono::milliseconds(100);
constexpr int32_t kDepthChoices[] = {16, 24, 32};
// A renderer whose vsync lets this many flips through in less than half their periods does
// not wait for the blank.
constexpr int32_t kSyncedFlipsMeasured = 10;

// Scales a picture coordinate into the window with truncating integer arithmetic.
int32_t scaleCoordinate(int32_t value, int32_t pictureSide, int32_t offset, int32_t placedSide) {
    if (pictureSide <= 0) return offset;
    return offset + static_cast<int32_t>(int64_t{value} * placedSide / pictureSide);
}

// The picture coordinate of a window coordinate: the inverse of scaleCoordinate, rounding
// toward the picture's top left.
int32_t unscaleCoordinate(int32_t value, int32_t pictureSide, int32_t offset, int32_t placedSide) {
    if (placedSide <= 0) return 0;
    const int64_t scaled = (int64_t{value} - offset) * pictureSide;
    return static_cast<int32_t>(scaled >= 0 ? scaled / placedSide
                                            : (scaled - placedSide + 1) / placedSide);
}

}  // namespace

bool integerScalingRequested() {
    const char* value = std::getenv("TERVEX_INTEGER_SCALE");
    return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

Display::Display(VideoDevice& video, DebuggerRelay& debugger)
    : video_(video), debugger_(debugger), integerScaling_(integerScalingRequested()) {}

// A fixed window shows the picture at its size; a scaled window stretches it; whatever covers
// a monitor, and a full-screen mode's window, keeps the aspect ratio. Integer scaling replaces
// stretching and letterboxing.
Placement Display::placement() const {
    const bool windowOnly = !open_->shownFullscreen && open_->mode != GraphicsMode::Fullscreen;
    if (windowOnly && open_->mode == GraphicsMode::WindowedFixed) return Placement::actualSize;
    if (integerScaling_) return Placement::integer;
    return windowOnly ? Placement::stretch : Placement::letterbox;
}

bool Display::OpenMode::changedSincePresented() const {
    return !presented || front->presentStamp() != frontStamp || back->presentStamp() != backStamp;
}

// ---- Display devices

const std::vector<GraphicsDriverInfo>& Display::drivers() {
    if (drivers_.empty() && !allDriversEnumerated_) drivers_ = enumerateDisplays(video_, false);
    return drivers_;
}

int32_t Display::countGraphicsDrivers() {
    if (!allDriversEnumerated_) {
        allDriversEnumerated_ = true;
        drivers_ = enumerateDisplays(video_, true);
    }
    return static_cast<int32_t>(drivers_.size());
}

std::string Display::graphicsDriverName(int32_t driver) {
    const auto& list = drivers();
    return driver >= 0 && driver < static_cast<int32_t>(list.size()) ? list[driver].name : "";
}

int32_t Display::countGraphicsModes(int32_t driver) {
    const auto& list = drivers();
    if (driver < 0 || driver >= static_cast<int32_t>(list.size())) return 0;
    return static_cast<int32_t>(list[driver].modes.size());
}

DisplayModeInfo Display::graphicsModeInfo(int32_t driver, int32_t mode) {
    const auto& list = drivers();
    if (driver < 0 || driver >= static_cast<int32_t>(list.size())) return {};
    const auto& modes = list[driver].modes;
    return mode >= 0 && mode < static_cast<int32_t>(modes.size()) ? modes[mode] : DisplayModeInfo{};
}

// ---- Opening and closing

std::optional<int32_t> Display::openGraphics(int32_t width, int32_t height, int32_t depth,
                                             int32_t driverIndex, uint32_t flags) {
    if (open_) return std::nullopt;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    return (flags & kWindowed) != 0 ? openWindowed(width, height, flags)
                                    : openFullscreen(width, height, depth, driverIndex);
}

std::optional<int32_t> Display::openWindowed(int32_t width, int32_t height, uint32_t flags) {
    const MonitorInfo primary = video_.monitor(0, false);
    const int32_t depth = primary.desktopDepth;
    if (!video_.preparePresentation(width, height, depth)) return std::nullopt;

    const bool scaled = (flags & kScaled) != 0;
    OpenMode mode;
    mode.mode = scaled ? GraphicsMode::WindowedScaled : GraphicsMode::WindowedFixed;
    mode.width = width;
    mode.height = height;
    mode.depth = depth;
    mode.blank = VerticalBlank(primary.refreshRate, primary.desktopHeight, Clock::now());
    video_.showPointer(pointerVisible_);
    video_.showWindowed(width, height, scaled);
    open_ = mode;
    return depth;
}

std::optional<int32_t> Display::openFullscreen(int32_t width, int32_t height, int32_t depth,
                                               int32_t driverIndex) {
    const auto& list = drivers();
    if (driverIndex < 0 || driverIndex >= static_cast<int32_t>(list.size())) return std::nullopt;
    const GraphicsDriverInfo& driver = list[driverIndex];

    // Depth 0 asks for the depth that offers the most of colour fill, blits, source colour
    // keys and wide surfaces, the lower one on a tie. The software canvases offer all four in
    // every depth, so the first depth whose mode exists wins.
    int32_t chosen = 0;
    if (depth != 0) {
        if (driver.hasMode(width, height, depth)) chosen = depth;
    } else {
        for (int32_t candidate : kDepthChoices) {
            if (driver.hasMode(width, height, candidate)) {
                chosen = candidate;
                break;
            }
        }
    }
    if (chosen == 0) return std::nullopt;
    if (!video_.preparePresentation(width, height, chosen)) return std::nullopt;

    OpenMode mode;
    mode.mode = GraphicsMode::Fullscreen;
    mode.width = width;
    mode.height = height;
    mode.depth = chosen;
    mode.shownFullscreen = true;
    mode.blank =
        VerticalBlank(video_.monitor(driver.monitor, false).refreshRate, height, Clock::now());
    if (!video_.enterFullscreen(width, height, driver.monitor)) return std::nullopt;
    video_.showPointer(false);
    open_ = mode;
    captureInput(true, true);
    return chosen;
}

void Display::showFrames(const FrameSource* front, const FrameSource* back) {
    if (!open_) return;
    open_->front = front;
    open_->back = back != nullptr ? back : front;
    open_->presented = false;
    open_->nextRepaintCheck = Clock::time_point{};
}

void Display::closeGraphics() {
    if (!open_) return;
    if (open_->mode == GraphicsMode::Fullscreen) {
        captureInput(false, true);
        video_.leaveFullscreen();
        video_.showPointer(true);
    } else if (open_->shownFullscreen) {
        video_.setDesktopFullscreen(false);
    }
    video_.releasePresentation();
    open_.reset();
}

// ---- Presentation

bool Display::paint() {
    OpenMode& mode = *open_;
    mode.frontStamp = mode.front->presentStamp();
    mode.backStamp = mode.back->presentStamp();
    mode.presented = true;
    const FramePixels frame = mode.front->pixels();
    if (mode.screenshotPending) {
        mode.screenshotPending = false;
        writeScreenshot(frame);
    }
    return video_.present(frame, placement());
}

void Display::flip(bool vwait) {
    if (!open_ || open_->front == nullptr) return;
    // A renderer that syncs waits in its present; otherwise the modelled blank paces the flip:
    // without a display there is no real blank to sync to, and some renderers accept vsync
    // but return at once.
    const bool rendererSyncs =
        !video_.headless() && video_.setVSync(vwait) && vwait && !open_->vsyncDoesNotBlock;
    if (vwait && !rendererSyncs) open_->blank.waitForBlank();
    if (rendererSyncs) noteSyncedFlip(open_->changedSincePresented());
    if (open_->changedSincePresented()) {
        if (!paint() && open_->mode == GraphicsMode::Fullscreen) {
            // Only a debugger hears of it; the program goes on.
            const std::string report =
                "Flip Failed! Return code:" + std::to_string(static_cast<uint32_t>(-1) & 0x7FFF);
            debugger_.log(report.c_str());
        }
    } else if (rendererSyncs) {
        open_->blank.waitForBlank();  // nothing to present: still one frame per blank
    }
}

void Display::noteSyncedFlip(bool presented) {
    OpenMode& mode = *open_;
    const Clock::time_point now = Clock::now();
    // Only back-to-back presenting flips measure the renderer; anything else starts afresh.
    if (!presented || mode.syncedFlips == 0) {
        mode.syncedFlips = presented ? 1 : 0;
        mode.syncedSince = now;
        return;
    }
    if (++mode.syncedFlips <= kSyncedFlipsMeasured) return;
    const auto expected = mode.blank.framePeriod() * kSyncedFlipsMeasured;
    if (now - mode.syncedSince < expected / 2) mode.vsyncDoesNotBlock = true;
    mode.syncedFlips = 1;
    mode.syncedSince = now;
}

void Display::repaint() {
    if (open_ && open_->front != nullptr) paint();
}

void Display::repaintIfDrawn() {
    if (!open_ || open_->front == nullptr) return;
    const Clock::time_point now = Clock::now();
    if (now < open_->nextRepaintCheck) return;
    open_->nextRepaintCheck = now + kRepaintPeriod;
    // Only the front buffer's own drawing: a back buffer half way through a frame must not
    // reach the window before its flip.
    if (!open_->presented || open_->front->presentStamp() != open_->frontStamp) paint();
}

// ---- Suspend and resume

void Display::leaveFullscreenForSuspend() {
    if (!suspendsWhenAway()) return;
    captureInput(false, true);
    video_.minimize();
}

void Display::returnFullscreenFromSuspend() {
    if (!suspendsWhenAway()) return;
    video_.restore();
    captureInput(true, true);
}

void Display::captureInput(bool captured, bool forProgram) {
    if (forProgram && captured != programCaptured_) {
        programCaptured_ = captured;
        ++inputCaptureChanges_;
    }
    if (captured == inputCaptured_) return;
    inputCaptured_ = captured;
    video_.captureMouse(captured);
}

// ---- The player's comforts

bool Display::toggleFullscreen() {
    if (!open_) return false;
    OpenMode& mode = *open_;
    const bool cover = !mode.shownFullscreen;
    if (!video_.setDesktopFullscreen(cover)) return false;
    mode.shownFullscreen = cover;
    if (mode.mode == GraphicsMode::Fullscreen) {
        // The full-screen mode's own window: the picture's size, the pointer free and shown as
        // the program set it; covering the monitor again captures and hides it as before.
        if (!cover && !mode.shownAsWindow) video_.showResizable(mode.width, mode.height);
        mode.shownAsWindow = mode.shownAsWindow || !cover;
        video_.showPointer(cover ? false : pointerVisible_);
        captureInput(cover, false);
    }
    if (mode.front != nullptr) paint();
    return true;
}

void Display::setIntegerScaling(bool on) {
    integerScaling_ = on;
    repaint();
}

void Display::requestScreenshot() {
    if (!open_ || open_->front == nullptr) return;
    // The front buffer holds what was presented unless either buffer changed since: then the
    // frame is taken as it is presented.
    if (open_->presented && !open_->changedSincePresented())
        writeScreenshot(open_->front->pixels());
    else
        open_->screenshotPending = true;
}

void Display::writeScreenshot(const FramePixels& frame) {
    const std::optional<std::string> path =
        saveScreenshot(frame, screenshotDirectory_, std::time(nullptr));
    lastScreenshot_ = path.value_or("");
    if (path)
        std::fprintf(stderr, "Tervex: screenshot saved as %s\n", path->c_str());
    else
        std::fprintf(stderr, "Tervex: the screenshot could not be written\n");
}

void Display::showMessage(std::string_view title, std::string_view message) {
    if (!open_ || open_->front == nullptr || painter_ == nullptr) return;
    if (open_->shownFullscreen) toggleFullscreen();
    if (!open_->presented) paint();
    painter_->paintMessage(
        title, message, open_->width, open_->height,
        [&](const FramePixels& box, PixelRect at) { video_.presentOverlay(box, at, placement()); });
}

// The pixels of every canvas live in host memory, so a full-screen display has nothing to
// restore: showing the front buffer again is all.
void Display::showAfterResume() {
    if (graphicsMode() == GraphicsMode::Fullscreen && open_->front != nullptr) paint();
}

// ---- Vertical blank and pointer

void Display::vwait() {
    if (open_) {
        open_->blank.waitForBlank();
    } else {
        const MonitorInfo primary = video_.monitor(0, false);
        VerticalBlank(primary.refreshRate, primary.desktopHeight, Clock::time_point{})
            .waitForBlank();
    }
}

int32_t Display::scanLine() const {
    return open_ ? open_->blank.scanLine(Clock::now()) : 0;
}

void Display::setPointerVisible(bool visible) {
    if (visible == pointerVisible_) return;
    pointerVisible_ = visible;
    // A full-screen mode covering the monitor always hides the pointer (shown as a window, it
    // follows this like any window); without a graphics mode the window is hidden.
    if (graphicsOpen() && !suspendsWhenAway()) video_.showPointer(visible);
}

void Display::moveMouse(int32_t x, int32_t y) {
    if (!open_) {
        video_.warpPointerOnDesktop(x, y);
        return;
    }
    const PixelRect client = video_.clientArea();
    const PixelRect placed =
        placePicture(placement(), client.w, client.h, open_->width, open_->height);
    video_.warpPointer(scaleCoordinate(x, open_->width, placed.x, placed.w),
                       scaleCoordinate(y, open_->height, placed.y, placed.h));
}

std::pair<int32_t, int32_t> Display::pictureOfWindow(int32_t x, int32_t y) {
    if (!open_) return {x, y};
    const PixelRect client = video_.clientArea();
    const PixelRect placed =
        placePicture(placement(), client.w, client.h, open_->width, open_->height);
    return {
        std::clamp(unscaleCoordinate(x, open_->width, placed.x, placed.w), 0, open_->width - 1),
        std::clamp(unscaleCoordinate(y, open_->height, placed.y, placed.h), 0, open_->height - 1)};
}

}  // namespace tx
