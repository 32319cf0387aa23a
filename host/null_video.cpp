#include "null_video.h"

#include <cstring>

#include "frame_convert.h"

namespace tx {

MonitorInfo NullVideo::monitor(int32_t index, bool) {
    MonitorInfo info;
    if (index != 0) return info;
    info.name = "Null display";
    info.desktopWidth = kDesktopWidth;
    info.desktopHeight = kDesktopHeight;
    return info;
}

bool NullVideo::enterFullscreen(int32_t, int32_t, int32_t monitor) {
    if (monitor != 0) return false;
    shown_ = true;
    fullscreen_ = true;
    return true;
}

bool NullVideo::preparePresentation(int32_t, int32_t, int32_t depth) {
    return depth == 16 || depth == 24 || depth == 32;
}

namespace {

// Rows of a frame as 0x00RRGGBB words into `out`, `outPitch` words apart.
void convertFrame(const FramePixels& frame, uint32_t* out, ptrdiff_t outPitch) {
    const uint8_t* in = frame.pixels;
    for (int32_t y = 0; y < frame.height; ++y, out += outPitch, in += frame.pitch) {
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
}

}  // namespace

bool NullVideo::present(const FramePixels& frame, Placement) {
    if (frame.pixels == nullptr || !preparePresentation(frame.width, frame.height, frame.depth))
        return false;
    shownWidth_ = frame.width;
    shownHeight_ = frame.height;
    shownPixels_.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height));
    convertFrame(frame, shownPixels_.data(), frame.width);
    return true;
}

bool NullVideo::presentOverlay(const FramePixels& overlay, PixelRect at, Placement) {
    if (shownPixels_.empty() || overlay.pixels == nullptr ||
        !preparePresentation(overlay.width, overlay.height, overlay.depth) || at.x < 0 ||
        at.y < 0 || at.x + overlay.width > shownWidth_ || at.y + overlay.height > shownHeight_)
        return false;
    convertFrame(overlay, shownPixels_.data() + static_cast<size_t>(at.y) * shownWidth_ + at.x,
                 shownWidth_);
    return true;
}

uint32_t NullVideo::shownAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= shownWidth_ || y >= shownHeight_) return 0;
    return shownPixels_[static_cast<size_t>(y) * shownWidth_ + x];
}

}  // namespace tx
