// Images: ordered lists of frames, each frame a canvas of the open display (so its buffer
// handle works with SetBuffer, the pixel commands and CopyRect). An image has no size or handle
// of its own: those are its frames', and frame 0's for the whole image.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "handle.h"
#include "handle_table.h"
#include "host_canvas.h"

namespace tx {

struct GraphicsState;

struct ImageFrame {
    uint32_t handle = 0;  // the frame's buffer handle
    HostCanvas* canvas = nullptr;
};

// The frames belong to the display (HostGraphics frees them when it closes); the image only
// names them, so dropping a record never touches canvases. FreeImage frees the frames first.
struct Image {
    std::vector<ImageFrame> frames;
};

template <>
struct HandleKind<Image> {
    static constexpr HandleKindInfo info{"Image", handle_kind::kImage, "Image does not exist"};
    static Image* find(uint32_t handle);
};

using ImageHandle = Handle<Image>;

// The canvas of a frame of a live image, or null. A frame outside 0..count-1 is the error
// "Image frame out of range" under the debug flag, and null without it.
HostCanvas* imageFrame(Image* image, int32_t frame);
inline HostCanvas* imageFrame(const ImageHandle& image, int32_t frame) {
    return imageFrame(image.get(), frame);
}

// A new frame of the display, cleared to black; null canvas (and nothing made) when the
// canvas cannot be had.
ImageFrame newFrame(GraphicsState& state, int32_t width, int32_t height);
// A canvas made elsewhere (a loaded picture) becomes a frame of the display; null canvas when
// the handle table is full (the canvas is then gone).
ImageFrame adoptFrame(GraphicsState& state, std::unique_ptr<HostCanvas> canvas);
// Gives the frame the mid handle (width / 2, height / 2) when AutoMidHandle is on.
void applyAutoMidHandle(const GraphicsState& state, HostCanvas& frame);
// Frees frames made by newFrame (the current buffer falls back to the front buffer).
void freeFrames(GraphicsState& state, const std::vector<ImageFrame>& frames);
// Registers an image of these frames and returns its handle; with no room in the table the
// frames are freed and 0 returned.
uint32_t registerImage(GraphicsState& state, std::vector<ImageFrame> frames);
// Frees an image and its frames; a handle that names none does nothing.
void releaseImage(GraphicsState& state, uint32_t handle);
// Frees every image (a mode change, the module's end).
void freeAllImages(GraphicsState& state);

}  // namespace tx
