// Transforms of every frame of an image about its handle: any matrix, scales, resizes and
// rotations. Each call resamples the frames of the previous one; every frame is replaced by a
// new canvas, so buffer handles of the old frames name nothing afterwards.
#include <cmath>
#include <vector>

#include "canvas_transform.h"
#include "graphics_commands.h"
#include "graphics_state.h"

namespace tx {
namespace {

// Transforms every frame, or, when one of them cannot be (a singular matrix, a result too
// large or empty, no memory), none of them.
void transform(GraphicsState& state, const ImageHandle& image, const Affine& m) {
    if (imageFrame(image, 0) == nullptr) return;
    std::vector<ImageFrame> results;
    for (const ImageFrame& frame : image->frames) {
        const HostCanvas& source = *frame.canvas;
        const Point pivot = source.getHandle();
        const std::optional<TransformPlan> plan =
            planTransform(source.getWidth(), source.getHeight(), m, pivot.x, pivot.y);
        const ImageFrame made = plan ? newFrame(state, plan->width, plan->height) : ImageFrame{};
        if (made.canvas == nullptr) {
            freeFrames(state, results);
            return;
        }
        renderTransform(*plan, source, *made.canvas, state.tformFilter);
        results.push_back(made);
    }
    // The current buffer may be one of the frames that go.
    const std::vector<ImageFrame> old = std::move(image->frames);
    image->frames = std::move(results);
    freeFrames(state, old);
}

}  // namespace

void tFormImage(GraphicsState& state, ImageHandle image, float a, float b, float c, float d) {
    transform(state, image, {a, b, c, d});
}

void scaleImage(GraphicsState& state, ImageHandle image, float xScale, float yScale) {
    transform(state, image, {xScale, 0.0f, 0.0f, yScale});
}

// Every frame is scaled by the factors that bring frame 0 to the size.
void resizeImage(GraphicsState& state, ImageHandle image, float width, float height) {
    const HostCanvas* first = imageFrame(image, 0);
    if (first == nullptr) return;
    const float xScale = width / static_cast<float>(first->getWidth());
    const float yScale = height / static_cast<float>(first->getHeight());
    transform(state, image, {xScale, 0.0f, 0.0f, yScale});
}

// The angle in degrees, clockwise on the screen; the radians and the sine and cosine are
// rounded to single precision, so a quarter turn is not exact.
void rotateImage(GraphicsState& state, ImageHandle image, float angle) {
    const float r = -(angle * 0.017453292f);
    const auto cosine = static_cast<float>(std::cos(static_cast<double>(r)));
    const auto sine = static_cast<float>(std::sin(static_cast<double>(r)));
    transform(state, image, {cosine, -sine, sine, cosine});
}

void tFormFilter(GraphicsState& state, int32_t enable) {
    state.tformFilter = enable != 0;
}

}  // namespace tx
