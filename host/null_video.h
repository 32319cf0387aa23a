// A video device without a platform: one 1024 x 768 monitor, a window that only records what
// was done to it, and presentation that keeps the last frame shown (as 0x00RRGGBB words) so
// that tests can read it back.
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
    MonitorInfo monitor(int32_t index) override;

    void setTitle(const std::string& title) override { title_ = title; }
    void showWindowed(int32_t width, int32_t height, bool scaled) override;
    bool enterFullscreen(int32_t width, int32_t height, int32_t monitor) override;
    void leaveFullscreen() override;
    void minimize() override { minimized_ = true; }
    void restore() override { minimized_ = false; }
    PixelRect clientArea() override { return {0, 0, clientWidth_, clientHeight_}; }
    void showPointer(bool visible) override { pointerShown_ = visible; }
    void warpPointer(int32_t x, int32_t y) override { pointer_ = {x, y, 0, 0}; }
    void warpPointerOnDesktop(int32_t x, int32_t y) override { pointer_ = {x, y, 0, 0}; }
    std::optional<bool> askOkCancel(const std::string&, const std::string&, bool) override {
        return std::nullopt;
    }

    bool preparePresentation(int32_t width, int32_t height, int32_t depth) override;
    void releasePresentation() override {}
    bool present(const FramePixels& frame, Placement placement) override;
    bool setVSync(bool) override { return true; }

    // ---- What was done
    const std::string& title() const { return title_; }
    bool windowShown() const { return shown_; }
    bool fullscreen() const { return fullscreen_; }
    bool minimized() const { return minimized_; }
    bool pointerShown() const { return pointerShown_; }
    PixelRect pointer() const { return pointer_; }  // where it was last placed (w, h 0)
    // Resizes the client area as a user dragging the window would.
    void resizeClientArea(int32_t width, int32_t height);
    // Presentations so far, and the last frame presented (0x00RRGGBB, 0 outside it).
    int32_t presentCount() const { return presentCount_; }
    Placement lastPlacement() const { return lastPlacement_; }
    int32_t shownWidth() const { return shownWidth_; }
    int32_t shownHeight() const { return shownHeight_; }
    uint32_t shownAt(int32_t x, int32_t y) const;

private:
    std::string title_;
    bool shown_ = false;
    bool fullscreen_ = false;
    bool minimized_ = false;
    bool sized_ = false;
    bool pointerShown_ = true;
    PixelRect pointer_;
    int32_t clientWidth_ = 1;
    int32_t clientHeight_ = 1;
    PixelRect savedClient_;

    int32_t presentCount_ = 0;
    Placement lastPlacement_ = Placement::actualSize;
    int32_t shownWidth_ = 0;
    int32_t shownHeight_ = 0;
    std::vector<uint32_t> shownPixels_;
};

}  // namespace tx
