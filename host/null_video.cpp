#include "null_video.h"

#include <cstring>

#include "frame_convert.h"

namespace tx {

MonitorInfo NullVideo::monitor(int32_t index) {
    MonitorInfo info;
    if (index != 0) return info;
    info.name = "Null display";
    info.desktopWidth = kDesktopWidth;
    info.desktopHeight = kDesktopHeight;
    return info;
}

void NullVideo::showWindowed(int32_t width, int32_t height, bool scaled) {
    if (!(scaled && sized_)) {
        clientWidth_ = width;
        clientHeight_ = height;
    }
    shown_ = true;
    sized_ = true;
}

bool NullVideo::enterFullscreen(int32_t width, int32_t height, int32_t monitor) {
    if (monitor != 0) return false;
    (void)width;
    (void)height;
    savedClient_ = clientArea();
    clientWidth_ = kDesktopWidth;
    clientHeight_ = kDesktopHeight;
    shown_ = true;
    fullscreen_ = true;
    return true;
}

void NullVideo::leaveFullscreen() {
    fullscreen_ = false;
    clientWidth_ = savedClient_.w;
    clientHeight_ = savedClient_.h;
}

void NullVideo::resizeClientArea(int32_t width, int32_t height) {
    clientWidth_ = width;
    clientHeight_ = height;
}

bool NullVideo::preparePresentation(int32_t, int32_t, int32_t depth) {
    return depth == 16 || depth == 24 || depth == 32;
}

bool NullVideo::present(const FramePixels& frame, Placement placement) {
    if (frame.pixels == nullptr || !preparePresentation(frame.width, frame.height, frame.depth))
        return false;
    shownWidth_ = frame.width;
    shownHeight_ = frame.height;
    shownPixels_.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height));
    uint32_t* out = shownPixels_.data();
    const uint8_t* in = frame.pixels;
    for (int32_t y = 0; y < frame.height; ++y, out += frame.width, in += frame.pitch) {
        switch (frame.depth) {
            case 16:
                convertRow565(out, in, frame.width);
                break;
            case 24:
                convertRowBgr24(out, in, frame.width);
                break;
            default:
                std::memcpy(out, in, static_cast<size_t>(frame.width) * 4);
                for (int32_t x = 0; x < frame.width; ++x) out[x] &= 0xFFFFFF;
                break;
        }
    }
    lastPlacement_ = placement;
    ++presentCount_;
    return true;
}

uint32_t NullVideo::shownAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= shownWidth_ || y >= shownHeight_) return 0;
    return shownPixels_[static_cast<size_t>(y) * shownWidth_ + x];
}

}  // namespace tx
