// What presentation needs of a picture, and nothing else: the graphics side hands the front and
// back buffers of an open mode to the display through this interface, so host/ never sees a
// canvas.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tx {

// Rows of pixels in host memory. depth 16: 5-6-5 words (red high); 24: bytes blue, green, red;
// 32: 0x00RRGGBB words. Little-endian, `pitch` bytes from one row to the next.
struct FramePixels {
    const uint8_t* pixels = nullptr;
    ptrdiff_t pitch = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
};

// A picture the display can show. The pixels stay valid for the source's life; the stamp
// advances whenever they change.
class FrameSource {
public:
    virtual FramePixels pixels() const = 0;
    virtual uint32_t presentStamp() const = 0;

protected:
    ~FrameSource() = default;
};

}  // namespace tx
