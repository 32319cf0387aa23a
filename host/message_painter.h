// Draws a message for the display to show over the picture (a runtime error in the program's
// window). The graphics side, which has the fonts, paints it; host/ only presents it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "display_frame.h"
#include "video_device.h"

namespace tx {

class MessagePainter {
public:
    using Show = std::function<void(const FramePixels& box, PixelRect at)>;
    // Draws the title and message in a box that fits a picture of width x height and hands its
    // pixels, and where it goes in the picture, to show (valid during the call only). Does
    // nothing when it cannot draw.
    virtual void paintMessage(std::string_view title, std::string_view message, int32_t width,
                              int32_t height, const Show& show) = 0;

protected:
    ~MessagePainter() = default;
};

}  // namespace tx
