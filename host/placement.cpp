#include <algorithm>
#include <cmath>

#include "video_device.h"

namespace tx {

PixelRect placePicture(Placement placement, int32_t outWidth, int32_t outHeight, int32_t width,
                       int32_t height) {
    switch (placement) {
        case Placement::actualSize:
            return {0, 0, width, height};
        case Placement::stretch:
            return {0, 0, outWidth, outHeight};
        case Placement::letterbox:
            break;
        case Placement::integer:
            if (width > 0 && height > 0) {
                const int32_t factor = std::min(outWidth / width, outHeight / height);
                if (factor >= 1)
                    return {(outWidth - width * factor) / 2, (outHeight - height * factor) / 2,
                            width * factor, height * factor};
            }
            break;
    }
    if (width <= 0 || height <= 0) return {0, 0, 0, 0};
    const double scale =
        std::min(static_cast<double>(outWidth) / width, static_cast<double>(outHeight) / height);
    const auto w = static_cast<int32_t>(std::lround(width * scale));
    const auto h = static_cast<int32_t>(std::lround(height * scale));
    return {(outWidth - w) / 2, (outHeight - h) / 2, w, h};
}

}  // namespace tx
