// The video device on SDL: the runtime's window, SDL's displays, and a Presenter (made with the
// first mode, kept for the window's life).
#pragma once

#include <SDL.h>

#include <memory>
#include <optional>

#include "presenter.h"
#include "sdl_session.h"
#include "video_device.h"

namespace tx {

class SdlVideo final : public VideoDevice {
public:
    explicit SdlVideo(std::shared_ptr<SdlSession> session) : session_(std::move(session)) {}
    ~SdlVideo() override;

    bool headless() const override { return session_->headless; }
    int32_t monitorCount() override;
    MonitorInfo monitor(int32_t index, bool withSizes) override;

    void setTitle(const std::string& title) override;
    void showWindowed(int32_t width, int32_t height, bool scaled) override;
    bool enterFullscreen(int32_t width, int32_t height, int32_t monitor) override;
    void leaveFullscreen() override;
    bool setDesktopFullscreen(bool on) override;
    void showResizable(int32_t width, int32_t height) override;
    void minimize() override;
    void restore() override;
    PixelRect clientArea() override;
    void showPointer(bool visible) override;
    void warpPointer(int32_t x, int32_t y) override;
    void warpPointerOnDesktop(int32_t x, int32_t y) override;
    void captureMouse(bool captured) override;
    std::optional<bool> askOkCancel(const std::string& title, const std::string& text,
                                    bool overWindow) override;

    bool preparePresentation(int32_t width, int32_t height, int32_t depth) override;
    void releasePresentation() override;
    bool present(const FramePixels& frame, Placement placement) override;
    bool presentOverlay(const FramePixels& overlay, PixelRect at, Placement placement) override;
    bool setVSync(bool on) override;

    SDL_Window* window() const { return session_->window; }
    // The window's renderer once a mode has been opened (tests read back what was presented).
    SDL_Renderer* renderer() const { return presenter_ ? presenter_->renderer() : nullptr; }

private:
    std::shared_ptr<SdlSession> session_;
    std::unique_ptr<Presenter> presenter_;
    bool windowSized_ = false;  // a mode has given the window a size
    // Full screen: the window's placement to give back when it ends.
    SDL_Rect savedRect_{};
    bool savedResizable_ = false;
    // The player's toggle: the window's placement to give back (not every driver keeps it).
    std::optional<SDL_Rect> toggledFrom_;
};

}  // namespace tx
