// A video device without a platform: one 1024 x 768 monitor, a window that only remembers
// being shown, and presentation that keeps the last frame shown (as 0x00RRGGBB words) so that tests
// can read it back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "video_device.h"

namespace tx {

class NullVideo final : public VideoDevice {
public:
    static constexpr int32_t kDesktopWidth = 1024;
    static constexpr int32_t kDesktopHeight = 768;

    bool headless() const override { return true; }
    int32_t monitorCount() override { return 1; }
    MonitorInfo monitor(int32_t index, bool withSizes) override;

    void setTitle(const std::string&) override {}
    void showWindowed(int32_t, int32_t, bool) override { shown_ = true; }
    bool enterFullscreen(int32_t, int32_t, int32_t monitor) override;
    void leaveFullscreen() override { fullscreen_ = false; }
    bool setDesktopFullscreen(bool on) override {
        fullscreen_ = on;
        return true;
    }
    void showResizable(int32_t, int32_t) override { shown_ = true; }
    void minimize() override {}
    void restore() override {}
    PixelRect clientArea() override { return {0, 0, kDesktopWidth, kDesktopHeight}; }
    void showPointer(bool) override {}
    void warpPointer(int32_t, int32_t) override {}
    void warpPointerOnDesktop(int32_t, int32_t) override {}
    void captureMouse(bool captured) override { mouseCaptured_ = captured; }
    std::optional<bool> askOkCancel(const std::string&, const std::string&, bool) override {
        return std::nullopt;
    }

    bool preparePresentation(int32_t width, int32_t height, int32_t depth) override;
    void releasePresentation() override {}
    bool present(const FramePixels& frame, Placement placement) override;
    // Draws the overlay into the kept frame, in the frame's pixels.
    bool presentOverlay(const FramePixels& overlay, PixelRect at, Placement placement) override;
    bool setVSync(bool) override { return true; }

    // ---- What was done
    bool windowShown() const { return shown_; }
    bool mouseCaptured() const { return mouseCaptured_; }
    // Whether the window covers the monitor (entered full screen, or toggled there).
    bool fullscreen() const { return fullscreen_; }
    // The last frame presented, as 0x00RRGGBB (0 outside it).
    uint32_t shownAt(int32_t x, int32_t y) const;

private:
    bool shown_ = false;
    bool mouseCaptured_ = false;
    bool fullscreen_ = false;

    int32_t shownWidth_ = 0;
    int32_t shownHeight_ = 0;
    std::vector<uint32_t> shownPixels_;
};

}  // namespace tx
