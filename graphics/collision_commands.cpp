// Collision tests between images, and images and rectangles, where the program would draw
// them: by their boxes or pixel-exact. No buffer, origin or viewport takes part. The commands
// without a frame argument test frame 0.
#include "canvas_collision.h"
#include "graphics_commands.h"
#include "graphics_state.h"

namespace tx {

int32_t imagesOverlap(ImageHandle image1, int32_t x1, int32_t y1, DeferredHandle<Image> image2,
                      int32_t x2, int32_t y2) {
    HostCanvas* a = imageFrame(image1, 0);
    HostCanvas* b = imageFrame(image2.resolve(), 0);
    if (a == nullptr || b == nullptr) return 0;
    return canvasesCollide(*a, x1, y1, *b, x2, y2, true) ? 1 : 0;
}

int32_t imagesCollide(ImageHandle image1, int32_t x1, int32_t y1, int32_t frame1,
                      DeferredHandle<Image> image2, int32_t x2, int32_t y2, int32_t frame2) {
    HostCanvas* a = imageFrame(image1, frame1);
    HostCanvas* b = imageFrame(image2.resolve(), frame2);
    if (a == nullptr || b == nullptr) return 0;
    return canvasesCollide(*a, x1, y1, *b, x2, y2, false) ? 1 : 0;
}

int32_t rectsOverlap(int32_t x1, int32_t y1, int32_t width1, int32_t height1, int32_t x2,
                     int32_t y2, int32_t width2, int32_t height2) {
    return boxesOverlap(x1, y1, width1, height1, x2, y2, width2, height2) ? 1 : 0;
}

int32_t imageRectOverlap(ImageHandle image, int32_t x, int32_t y, int32_t rectX, int32_t rectY,
                         int32_t rectWidth, int32_t rectHeight) {
    HostCanvas* a = imageFrame(image, 0);
    if (a == nullptr) return 0;
    return canvasRectCollide(*a, x, y, rectX, rectY, rectWidth, rectHeight, true) ? 1 : 0;
}

int32_t imageRectCollide(ImageHandle image, int32_t x, int32_t y, int32_t frame, int32_t rectX,
                         int32_t rectY, int32_t rectWidth, int32_t rectHeight) {
    HostCanvas* a = imageFrame(image, frame);
    if (a == nullptr) return 0;
    return canvasRectCollide(*a, x, y, rectX, rectY, rectWidth, rectHeight, false) ? 1 : 0;
}

}  // namespace tx
