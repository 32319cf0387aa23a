// Images as records: loading pictures and animation strips, creating, copying, grabbing from the
// current buffer, saving and freeing; their buffers, masks, handles and sizes.
#include <cstdint>
#include <vector>

#include "bmp_writer.h"
#include "graphics_commands.h"
#include "graphics_state.h"
#include "path_lookup.h"
#include "picture_loader.h"
#include "tx_error.h"

namespace tx {
namespace {

// Frame 0 of a live image (checked), for the commands that have no frame argument.
HostCanvas* firstFrame(const ImageHandle& image) {
    return imageFrame(image, 0);
}

uint32_t packRgb(int32_t red, int32_t green, int32_t blue) {
    return ((static_cast<uint32_t>(red) << 8 | static_cast<uint32_t>(green)) << 8) |
           static_cast<uint32_t>(blue);
}

// Frames of an animation strip: count whole cells from cell `first`, left to right, then top to
// bottom. The errors come before anything is made.
uint32_t cutStrip(GraphicsState& state, const HostCanvas& sheet, int32_t cellWidth,
                  int32_t cellHeight, int32_t first, int32_t count) {
    if (cellWidth == 0 || cellHeight == 0) runtimeError("Integer divide by zero");
    const int64_t across = sheet.getWidth() / int64_t{cellWidth};
    const int64_t down = sheet.getHeight() / int64_t{cellHeight};
    if (across * down < int64_t{first} + count) runtimeError("Not enough frames in bitmap");
    int64_t x = first % across * cellWidth, y = first / across * cellHeight;
    std::vector<ImageFrame> frames;
    for (int32_t i = 0; i < count; ++i) {
        const ImageFrame frame = newFrame(state, cellWidth, cellHeight);
        if (frame.canvas == nullptr) {
            freeFrames(state, frames);
            return 0;
        }
        frames.push_back(frame);
        frame.canvas->blit(0, 0, sheet, static_cast<int32_t>(x), static_cast<int32_t>(y), cellWidth,
                           cellHeight, true);
        applyAutoMidHandle(state, *frame.canvas);
        x += cellWidth;
        if (sheet.getWidth() < x + cellWidth) {
            x = 0;
            y += cellHeight;
        }
    }
    return registerImage(state, std::move(frames));
}

}  // namespace

uint32_t loadImage(GraphicsState& state, StrArg file) {
    if (state.graphics == nullptr) return 0;
    const ImageFrame frame = adoptFrame(state, loadPicture(file.view(), state.graphics->format()));
    if (frame.canvas == nullptr) return 0;
    applyAutoMidHandle(state, *frame.canvas);
    return registerImage(state, {frame});
}

uint32_t loadAnimImage(GraphicsState& state, StrArg file, int32_t cellWidth, int32_t cellHeight,
                       int32_t first, int32_t count) {
    if (count < 1) runtimeError("Illegal frame count");
    if (first < 0) runtimeError("Illegal first frame");
    if (state.graphics == nullptr) return 0;
    const std::unique_ptr<HostCanvas> sheet = loadPicture(file.view(), state.graphics->format());
    if (sheet == nullptr) return 0;
    return cutStrip(state, *sheet, cellWidth, cellHeight, first, count);
}

// With fewer than one frame nothing is made: a record without frames would be out of range for
// every later command.
uint32_t createImage(GraphicsState& state, int32_t width, int32_t height, int32_t frames) {
    if (state.graphics == nullptr || frames < 1) return 0;
    std::vector<ImageFrame> made;
    for (int32_t i = 0; i < frames; ++i) {
        const ImageFrame frame = newFrame(state, width, height);
        if (frame.canvas == nullptr) {
            freeFrames(state, made);
            return 0;
        }
        applyAutoMidHandle(state, *frame.canvas);
        made.push_back(frame);
    }
    return registerImage(state, std::move(made));
}

uint32_t copyImage(GraphicsState& state, ImageHandle image) {
    if (firstFrame(image) == nullptr || state.graphics == nullptr) return 0;
    std::vector<ImageFrame> copies;
    for (const ImageFrame& from : image->frames) {
        HostCanvas& source = *from.canvas;
        const ImageFrame copy = newFrame(state, source.getWidth(), source.getHeight());
        if (copy.canvas == nullptr) {
            freeFrames(state, copies);
            return 0;
        }
        copies.push_back(copy);
        // The whole frame, whatever its handle.
        const Point handle = source.getHandle();
        source.setHandle(0, 0);
        copy.canvas->blit(0, 0, source, 0, 0, source.getWidth(), source.getHeight(), true);
        source.setHandle(handle.x, handle.y);
        copy.canvas->setHandle(handle.x, handle.y);
        copy.canvas->setMask(source.getMask());
    }
    return registerImage(state, std::move(copies));
}

void freeImage(GraphicsState& state, uint32_t image) {
    releaseImage(state, image);
}

int32_t saveImage(ImageHandle image, StrArg file, int32_t frame) {
    HostCanvas* canvas = imageFrame(image, frame);
    if (canvas == nullptr) return 0;
    return writeBmp(*canvas, hostPath(file.view())) ? 1 : 0;
}

// The area of the current buffer the frame would cover if drawn at (x, y).
void grabImage(ImageHandle image, int32_t x, int32_t y, int32_t frame) {
    HostCanvas* canvas = imageFrame(image, frame);
    HostCanvas* buffer = currentBuffer();
    if (canvas == nullptr || buffer == nullptr) return;
    const Point origin = buffer->getOrigin(), handle = canvas->getHandle();
    canvas->setViewport(0, 0, canvas->getWidth(), canvas->getHeight());
    canvas->blit(0, 0, *buffer, wrapSub(wrapAdd(x, origin.x), handle.x),
                 wrapSub(wrapAdd(y, origin.y), handle.y), canvas->getWidth(), canvas->getHeight(),
                 true);
}

uint32_t imageBuffer(ImageHandle image, int32_t frame) {
    if (imageFrame(image, frame) == nullptr) return 0;
    return image->frames[static_cast<size_t>(frame)].handle;
}

void maskImage(ImageHandle image, int32_t red, int32_t green, int32_t blue) {
    if (firstFrame(image) == nullptr) return;
    for (const ImageFrame& frame : image->frames) frame.canvas->setMask(packRgb(red, green, blue));
}

void handleImage(ImageHandle image, int32_t x, int32_t y) {
    if (firstFrame(image) == nullptr) return;
    for (const ImageFrame& frame : image->frames) frame.canvas->setHandle(x, y);
}

void midHandle(ImageHandle image) {
    if (firstFrame(image) == nullptr) return;
    for (const ImageFrame& frame : image->frames)
        frame.canvas->setHandle(frame.canvas->getWidth() / 2, frame.canvas->getHeight() / 2);
}

void autoMidHandle(GraphicsState& state, int32_t enable) {
    state.autoMidHandle = enable != 0;
}

int32_t imageWidth(ImageHandle image) {
    const HostCanvas* frame = firstFrame(image);
    return frame != nullptr ? frame->getWidth() : 0;
}

int32_t imageHeight(ImageHandle image) {
    const HostCanvas* frame = firstFrame(image);
    return frame != nullptr ? frame->getHeight() : 0;
}

int32_t imageXHandle(ImageHandle image) {
    const HostCanvas* frame = firstFrame(image);
    return frame != nullptr ? frame->getHandle().x : 0;
}

int32_t imageYHandle(ImageHandle image) {
    const HostCanvas* frame = firstFrame(image);
    return frame != nullptr ? frame->getHandle().y : 0;
}

}  // namespace tx
