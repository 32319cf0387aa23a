// The display side of the host runtime: display devices, opening and closing graphics modes on
// the window, presentation, the repaint of a front buffer drawn without a flip, the vertical
// blank and pointer placement.
#include <SDL.h>

#include <algorithm>
#include <string>

#include "host_runtime.h"
#include "open_display.h"
#include "presenter.h"

namespace tx {
namespace {

using Clock = std::chrono::steady_clock;

// A front buffer drawn without a flip shows within this time.
constexpr auto kRepaintPeriod = std::chrono::milliseconds(100);
constexpr int32_t kDepthChoices[] = {16, 24, 32};

// Scales a picture coordinate into the window with truncating integer arithmetic.
int scaleCoordinate(int32_t value, int32_t pictureSide, int offset, int placedSide) {
    if (pictureSide <= 0) return offset;
    return offset + static_cast<int>(int64_t{value} * placedSide / pictureSide);
}

}  // namespace

// ---- Display devices

const std::vector<GraphicsDriverInfo>& HostRuntime::drivers() {
    if (drivers_.empty() && !allDriversEnumerated_) drivers_ = enumerateDisplays(false);
    return drivers_;
}

int32_t HostRuntime::countGraphicsDrivers() {
    if (!allDriversEnumerated_) {
        allDriversEnumerated_ = true;
        drivers_ = enumerateDisplays(true);
    }
    return static_cast<int32_t>(drivers_.size());
}

std::string HostRuntime::graphicsDriverName(int32_t driver) {
    const auto& list = drivers();
    return driver >= 0 && driver < static_cast<int32_t>(list.size()) ? list[driver].name : "";
}

int32_t HostRuntime::countGraphicsModes(int32_t driver) {
    const auto& list = drivers();
    if (driver < 0 || driver >= static_cast<int32_t>(list.size())) return 0;
    return static_cast<int32_t>(list[driver].modes.size());
}

DisplayModeInfo HostRuntime::graphicsModeInfo(int32_t driver, int32_t mode) {
    const auto& list = drivers();
    if (driver < 0 || driver >= static_cast<int32_t>(list.size())) return {};
    const auto& modes = list[driver].modes;
    return mode >= 0 && mode < static_cast<int32_t>(modes.size()) ? modes[mode] : DisplayModeInfo{};
}

// ---- Opening and closing

bool HostRuntime::ensurePresenter() {
    if (presenter_ == nullptr) presenter_ = Presenter::create(window_, headless_);
    return presenter_ != nullptr;
}

SDL_Renderer* HostRuntime::renderer() const {
    return presenter_ != nullptr ? presenter_->renderer() : nullptr;
}

std::optional<int32_t> HostRuntime::openGraphics(int32_t width, int32_t height, int32_t depth,
                                                 int32_t driverIndex, uint32_t flags) {
    if (display_ != nullptr) return std::nullopt;
    if (width < 1 || height < 1 || width > kMaxGraphicsSide || height > kMaxGraphicsSide)
        return std::nullopt;
    switching_ = true;
    const std::optional<int32_t> opened =
        (flags & kGraphicsWindowed) != 0 ? openWindowed(width, height, flags)
                                         : openFullscreen(width, height, depth, driverIndex, flags);
    switching_ = false;
    return opened;
}

std::optional<int32_t> HostRuntime::openWindowed(int32_t width, int32_t height, uint32_t flags) {
    const int32_t depth = desktopDepth(0);
    if (!ensurePresenter() || !presenter_->prepare(width, height, depth)) return std::nullopt;

    auto display = std::make_unique<OpenDisplay>();
    const bool scaled = (flags & kGraphicsScaled) != 0;
    display->mode = scaled ? GraphicsMode::WindowedScaled : GraphicsMode::WindowedFixed;
    display->width = width;
    display->height = height;
    display->depth = depth;
    display->displayIndex = 0;
    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(0, &desktop);
    display->blank = VerticalBlank(refreshRate(0), desktop.h, Clock::now());

    // The scaled window keeps the size the user gave it; a window that never had one starts
    // with the picture's.
    int clientWidth = width, clientHeight = height;
    if (scaled && windowSized_) SDL_GetWindowSize(window_, &clientWidth, &clientHeight);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowResizable(window_, scaled ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(window_, clientWidth, clientHeight);
    SDL_Rect screen{0, 0, clientWidth, clientHeight};
    SDL_GetDisplayBounds(0, &screen);
    SDL_SetWindowPosition(window_, screen.x + (screen.w - clientWidth) / 2,
                          screen.y + (screen.h - clientHeight) / 2);
    SDL_ShowCursor(pointerVisible_ ? SDL_ENABLE : SDL_DISABLE);
    SDL_ShowWindow(window_);
    windowSized_ = true;

    graphicsMode_ = display->mode;
    display_ = std::move(display);
    return depth;
}

std::optional<int32_t> HostRuntime::openFullscreen(int32_t width, int32_t height, int32_t depth,
                                                   int32_t driverIndex, uint32_t flags) {
    const auto& list = drivers();
    if (driverIndex < 0 || driverIndex >= static_cast<int32_t>(list.size())) return std::nullopt;
    const GraphicsDriverInfo& driver = list[driverIndex];

    // Depth 0 asks for the depth that offers the most of colour fill, blits, source colour
    // keys and wide surfaces, the lower one on a tie. The software canvases offer all four in
    // every depth, so the first depth whose mode exists wins.
    int32_t chosen = 0;
    if (depth != 0) {
        if (driver.hasMode(width, height, depth)) chosen = depth;
    } else if ((flags & kGraphics3D) == 0) {
        for (int32_t candidate : kDepthChoices) {
            if (driver.hasMode(width, height, candidate)) {
                chosen = candidate;
                break;
            }
        }
    }
    if (chosen == 0) return std::nullopt;
    if (!ensurePresenter() || !presenter_->prepare(width, height, chosen)) return std::nullopt;

    auto display = std::make_unique<OpenDisplay>();
    display->mode = GraphicsMode::Fullscreen;
    display->width = width;
    display->height = height;
    display->depth = chosen;
    display->displayIndex = driver.displayIndex;
    display->blank = VerticalBlank(refreshRate(driver.displayIndex), height, Clock::now());
    SDL_GetWindowPosition(window_, &display->savedRect.x, &display->savedRect.y);
    SDL_GetWindowSize(window_, &display->savedRect.w, &display->savedRect.h);
    display->savedResizable = (SDL_GetWindowFlags(window_) & SDL_WINDOW_RESIZABLE) != 0;

    SDL_SetWindowSize(window_, width, height);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(driver.displayIndex),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(driver.displayIndex));
    SDL_ShowWindow(window_);
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        SDL_SetWindowSize(window_, display->savedRect.w, display->savedRect.h);
        SDL_SetWindowPosition(window_, display->savedRect.x, display->savedRect.y);
        return std::nullopt;
    }
    SDL_ShowCursor(SDL_DISABLE);
    // Input is acquired here once the input driver exists.

    graphicsMode_ = GraphicsMode::Fullscreen;
    display_ = std::move(display);
    return chosen;
}

void HostRuntime::showFrames(const FrameSource* front, const FrameSource* back) {
    if (display_ == nullptr) return;
    display_->front = front;
    display_->back = back != nullptr ? back : front;
    display_->presented = false;
    display_->nextRepaintCheck = Clock::time_point{};
}

void HostRuntime::closeGraphics() {
    if (display_ == nullptr) return;
    switching_ = true;
    // Input is released here in full screen once the input driver exists.
    if (display_->mode == GraphicsMode::Fullscreen) {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowResizable(window_, display_->savedResizable ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowSize(window_, display_->savedRect.w, display_->savedRect.h);
        SDL_SetWindowPosition(window_, display_->savedRect.x, display_->savedRect.y);
        SDL_ShowCursor(SDL_ENABLE);
    }
    presenter_->releaseTexture();
    display_.reset();
    graphicsMode_ = GraphicsMode::None;
    switching_ = false;
}

// ---- Presentation

bool HostRuntime::paint() {
    OpenDisplay& display = *display_;
    display.frontStamp = display.front->presentStamp();
    display.backStamp = display.back->presentStamp();
    display.presented = true;
    return presenter_->present(display.front->pixels(), display.placement());
}

void HostRuntime::flip(bool vwait) {
    if (display_ == nullptr || display_->front == nullptr) return;
    // A renderer that syncs waits in its present; otherwise the modelled blank paces the flip.
    // Without a display there is no real blank to sync to.
    const bool rendererSyncs = !headless_ && presenter_->setVSync(vwait) && vwait;
    if (vwait && !rendererSyncs) display_->blank.waitForBlank();
    if (display_->changedSincePresented()) {
        if (!paint() && display_->mode == GraphicsMode::Fullscreen) {
            // Only a debugger hears of it; the program goes on.
            const std::string report =
                "Flip Failed! Return code:" + std::to_string(static_cast<uint32_t>(-1) & 0x7FFF);
            debugLog(report.c_str());
        }
    } else if (rendererSyncs) {
        display_->blank.waitForBlank();  // nothing to present: still one frame per blank
    }
}

void HostRuntime::repaintIfDrawn() {
    if (display_ == nullptr || display_->front == nullptr) return;
    const Clock::time_point now = Clock::now();
    if (now < display_->nextRepaintCheck) return;
    display_->nextRepaintCheck = now + kRepaintPeriod;
    // Only the front buffer's own drawing: a back buffer half way through a frame must not
    // reach the window before its flip.
    if (!display_->presented || display_->front->presentStamp() != display_->frontStamp) paint();
}

void HostRuntime::onWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (display_ != nullptr && display_->front != nullptr) paint();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // Switching away from a full-screen program suspends it; windowed programs run on.
            if (graphicsMode_ == GraphicsMode::Fullscreen && !paused_) suspend();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (graphicsMode_ == GraphicsMode::Fullscreen && paused_) resume();
            break;
        default:
            break;
    }
}

// ---- Vertical blank and pointer

void HostRuntime::vwait() {
    if (display_ != nullptr) {
        display_->blank.waitForBlank();
    } else {
        SDL_DisplayMode desktop{};
        SDL_GetDesktopDisplayMode(0, &desktop);
        VerticalBlank(refreshRate(0), desktop.h, Clock::time_point{}).waitForBlank();
    }
}

int32_t HostRuntime::scanLine() const {
    return display_ != nullptr ? display_->blank.scanLine(Clock::now()) : 0;
}

void HostRuntime::moveMouse(int32_t x, int32_t y) {
    if (display_ == nullptr) {
        SDL_WarpMouseGlobal(x, y);
        return;
    }
    int clientWidth = 0, clientHeight = 0;
    SDL_GetWindowSize(window_, &clientWidth, &clientHeight);
    const SDL_Rect placed = placePicture(display_->placement(), clientWidth, clientHeight,
                                         display_->width, display_->height);
    SDL_WarpMouseInWindow(window_, scaleCoordinate(x, display_->width, placed.x, placed.w),
                          scaleCoordinate(y, display_->height, placed.y, placed.h));
}

}  // namespace tx
