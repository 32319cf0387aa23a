#include "sdl_video.h"

#include <algorithm>
#include <optional>

#include "modal_dialog.h"

namespace tx {

SdlVideo::~SdlVideo() = default;

// ---- Monitors

int32_t SdlVideo::monitorCount() {
    return SDL_GetNumVideoDisplays();
}

MonitorInfo SdlVideo::monitor(int32_t index, bool withSizes) {
    MonitorInfo info;
    if (const char* name = SDL_GetDisplayName(index)) info.name = name;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(index, &desktop) == 0) {
        info.desktopWidth = desktop.w;
        info.desktopHeight = desktop.h;
        switch (SDL_BYTESPERPIXEL(desktop.format)) {
            case 2:
                info.desktopDepth = 16;
                break;
            case 3:
                info.desktopDepth = 24;
                break;
            default:
                info.desktopDepth = 32;
                break;
        }
        if (desktop.refresh_rate > 0) info.refreshRate = desktop.refresh_rate;
    }
    if (!withSizes) return info;
    const int reported = SDL_GetNumDisplayModes(index);
    for (int i = 0; i < reported; ++i) {
        SDL_DisplayMode mode{};
        // Drivers without real modes report a placeholder of size 0; the list skips those.
        if (SDL_GetDisplayMode(index, i, &mode) == 0)
            info.reportedSizes.emplace_back(mode.w, mode.h);
    }
    return info;
}

// ---- The window

void SdlVideo::setTitle(const std::string& title) {
    SDL_SetWindowTitle(window(), title.c_str());
}

void SdlVideo::showWindowed(int32_t width, int32_t height, bool scaled) {
    SDL_Window* w = window();
    // The scaled window keeps the size the user gave it; a window that never had one starts
    // with the picture's.
    int clientWidth = width, clientHeight = height;
    if (scaled && windowSized_) SDL_GetWindowSize(w, &clientWidth, &clientHeight);
    SDL_SetWindowBordered(w, SDL_TRUE);
    SDL_SetWindowResizable(w, scaled ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(w, clientWidth, clientHeight);
    SDL_Rect screen{0, 0, clientWidth, clientHeight};
    SDL_GetDisplayBounds(0, &screen);
    SDL_SetWindowPosition(w, screen.x + (screen.w - clientWidth) / 2,
                          screen.y + (screen.h - clientHeight) / 2);
    SDL_ShowWindow(w);
    windowSized_ = true;
}

bool SdlVideo::enterFullscreen(int32_t width, int32_t height, int32_t monitor) {
    SDL_Window* w = window();
    SDL_GetWindowPosition(w, &savedRect_.x, &savedRect_.y);
    SDL_GetWindowSize(w, &savedRect_.w, &savedRect_.h);
    savedResizable_ = (SDL_GetWindowFlags(w) & SDL_WINDOW_RESIZABLE) != 0;

    SDL_SetWindowSize(w, width, height);
    SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED_DISPLAY(monitor),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(monitor));
    SDL_ShowWindow(w);
    if (SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        SDL_SetWindowSize(w, savedRect_.w, savedRect_.h);
        SDL_SetWindowPosition(w, savedRect_.x, savedRect_.y);
        return false;
    }
    return true;
}

void SdlVideo::leaveFullscreen() {
    SDL_Window* w = window();
    SDL_SetWindowFullscreen(w, 0);
    toggledFrom_.reset();
    SDL_SetWindowResizable(w, savedResizable_ ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(w, savedRect_.w, savedRect_.h);
    SDL_SetWindowPosition(w, savedRect_.x, savedRect_.y);
}

bool SdlVideo::setDesktopFullscreen(bool on) {
    SDL_Window* w = window();
    SDL_Rect from{};
    SDL_GetWindowPosition(w, &from.x, &from.y);
    SDL_GetWindowSize(w, &from.w, &from.h);
    if (SDL_SetWindowFullscreen(w, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    if (on) {
        toggledFrom_ = from;
    } else if (toggledFrom_) {
        SDL_SetWindowSize(w, toggledFrom_->w, toggledFrom_->h);
        SDL_SetWindowPosition(w, toggledFrom_->x, toggledFrom_->y);
        toggledFrom_.reset();
    }
    return true;
}

void SdlVideo::showResizable(int32_t width, int32_t height) {
    SDL_Window* w = window();
    const int display = std::max(SDL_GetWindowDisplayIndex(w), 0);
    SDL_Rect usable{0, 0, width, height};
    SDL_GetDisplayUsableBounds(display, &usable);
    const int clientWidth = std::min(width, usable.w);
    const int clientHeight = std::min(height, usable.h);
    SDL_SetWindowBordered(w, SDL_TRUE);
    SDL_SetWindowResizable(w, SDL_TRUE);
    SDL_SetWindowSize(w, clientWidth, clientHeight);
    SDL_SetWindowPosition(w, usable.x + (usable.w - clientWidth) / 2,
                          usable.y + (usable.h - clientHeight) / 2);
    SDL_ShowWindow(w);
}

void SdlVideo::minimize() {
    SDL_MinimizeWindow(window());
}

void SdlVideo::restore() {
    SDL_RestoreWindow(window());
    SDL_RaiseWindow(window());
}

PixelRect SdlVideo::clientArea() {
    int width = 0, height = 0;
    SDL_GetWindowSize(window(), &width, &height);
    return {0, 0, width, height};
}

void SdlVideo::showPointer(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlVideo::warpPointer(int32_t x, int32_t y) {
    SDL_WarpMouseInWindow(window(), x, y);
}

void SdlVideo::warpPointerOnDesktop(int32_t x, int32_t y) {
    SDL_WarpMouseGlobal(x, y);
}

void SdlVideo::captureMouse(bool captured) {
    // Drivers without a pointer (offscreen) refuse; motion then arrives as positions.
    SDL_SetRelativeMouseMode(captured ? SDL_TRUE : SDL_FALSE);
}

std::optional<bool> SdlVideo::askOkCancel(const std::string& title, const std::string& text,
                                          bool overWindow) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"},
    };
    const SDL_MessageBoxData data = {
        SDL_MESSAGEBOX_WARNING | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
        overWindow ? window() : nullptr,
        title.c_str(),
        text.c_str(),
        static_cast<int>(std::size(buttons)),
        buttons,
        nullptr,
    };
    int answer = 0;
    const std::optional<int> shown =
        runModalDialog([&] { return SDL_ShowMessageBox(&data, &answer); });
    if (!shown || *shown != 0) return std::nullopt;  // not shown, or closed by the end request
    return answer == 1;
}

// ---- Presentation

bool SdlVideo::preparePresentation(int32_t width, int32_t height, int32_t depth) {
    if (presenter_ == nullptr) presenter_ = Presenter::create(window(), headless());
    return presenter_ != nullptr && presenter_->prepare(width, height, depth);
}

void SdlVideo::releasePresentation() {
    if (presenter_ != nullptr) presenter_->releaseTexture();
}

bool SdlVideo::present(const FramePixels& frame, Placement placement) {
    return presenter_ != nullptr && presenter_->present(frame, placement);
}

bool SdlVideo::presentOverlay(const FramePixels& overlay, PixelRect at, Placement placement) {
    return presenter_ != nullptr && presenter_->presentOverlay(overlay, at, placement);
}

bool SdlVideo::setVSync(bool on) {
    return presenter_ != nullptr && presenter_->setVSync(on);
}

}  // namespace tx
