// Image commands through the graphics module: animation strips (their errors are the guest
// programs'), handles through load, copy and grab, drawing under origins and handles, tiling,
// transform sizes and handles, and what becomes of buffers and frames when images are
// transformed or freed. Pictures are made by the commands and saved with SaveImage.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "canvas_transform.h"
#include "graphics_test_support.h"

namespace tx {
namespace {

using test::GraphicsTest;
using test::TempDir;

class ImageCommands : public GraphicsTest {
protected:
    static HostCanvas& frame(uint32_t image, int32_t index = 0) {
        return *state().images.find(image)->frames.at(index).canvas;
    }
    static uint32_t pixel(int32_t x, int32_t y, uint32_t buffer = 0) {
        return static_cast<uint32_t>(readPixel(x, y, buffer)) & 0xFFFFFF;
    }
    // An image whose cell i (cells of cw x ch, left to right, then down) is filled with the
    // colour i + 1, saved as a BMP file.
    std::string strip(int32_t width, int32_t height, int32_t cw, int32_t ch) {
        const uint32_t sheet = createImage(width, height, 1);
        setBuffer(imageBuffer(sheet, 0));
        for (int32_t i = 0; i < (width / cw) * (height / ch); ++i) {
            color(0, 0, i + 1);
            rect(i % (width / cw) * cw, i / (width / cw) * ch, cw, ch, 1);
        }
        const std::string path = dir.file("strip" + std::to_string(width) + ".bmp");
        EXPECT_EQ(saveImage(sheet, arg(path), 0), 1);
        freeImage(sheet);
        return path;
    }
    TempDir dir;
};

TEST_F(ImageCommands, AnimationStripsCutWholeCellsInReadingOrder) {
    const std::string wide = strip(100, 32, 32, 32);  // 3 whole cells, 4 columns left over
    const uint32_t anim = loadAnimImage(arg(wide), 32, 32, 0, 3);
    ASSERT_NE(anim, 0u);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(frame(anim, i).getWidth(), 32);
        EXPECT_EQ(pixel(31, 31, imageBuffer(anim, i)), static_cast<uint32_t>(i + 1));
    }
    EXPECT_EQ(imageBuffer(anim, 3), 0u) << "no fourth frame";

    const std::string grid = strip(96, 64, 32, 32);  // 3 cells across, 2 down
    const uint32_t fromFour = loadAnimImage(arg(grid), 32, 32, 4, 2);
    EXPECT_EQ(pixel(0, 0, imageBuffer(fromFour, 0)), 5u) << "second row, second column";
    EXPECT_EQ(pixel(0, 0, imageBuffer(fromFour, 1)), 6u);

    // The errors are the guest programs'; here the cases where nothing may be made: a missing
    // file (nothing loaded, nothing divided), cells of negative size, counts past 32 bits.
    const size_t canvases = state().graphics->canvasCount();
    EXPECT_EQ(loadAnimImage(arg(dir.file("missing.bmp")), 0, 0, 0, 1), 0u);
    EXPECT_EQ(loadAnimImage(arg(wide), -32, -32, 0, 3), 0u);
    EXPECT_EQ(errorOf([&] { loadAnimImage(arg(wide), 32, 32, 0x7FFFFFFF, 0x7FFFFFFF); }),
              "Not enough frames in bitmap");
    EXPECT_EQ(state().graphics->canvasCount(), canvases) << "no frames left behind";
}

TEST_F(ImageCommands, AutoMidHandlesGoToNewImagesAndStayThroughCopyAndGrab) {
    const uint32_t plain = createImage(31, 31, 1);
    const std::string path = dir.file("odd.bmp");
    ASSERT_EQ(saveImage(plain, arg(path), 0), 1);
    EXPECT_EQ(imageXHandle(plain), 0);

    autoMidHandle(1);
    const uint32_t loaded = loadImage(arg(path));
    const uint32_t made = createImage(31, 31, 2);
    const uint32_t cut = loadAnimImage(arg(path), 10, 7, 0, 2);
    for (const uint32_t image : {loaded, made, cut}) {
        EXPECT_EQ(imageXHandle(image), image == cut ? 5 : 15);
        EXPECT_EQ(imageYHandle(image), image == cut ? 3 : 15);
    }
    EXPECT_EQ(frame(made, 1).getHandle(), (Point{15, 15}));
    const uint32_t copy = copyImage(loaded);
    EXPECT_EQ(frame(copy).getHandle(), (Point{15, 15}));
    grabImage(copy, 40, 40, 0);
    EXPECT_EQ(frame(copy).getHandle(), (Point{15, 15}));
    autoMidHandle(0);
    EXPECT_EQ(imageXHandle(createImage(31, 31, 1)), 0);

    handleImage(made, -3, 4);
    EXPECT_EQ(frame(made, 1).getHandle(), (Point{-3, 4}));
    midHandle(made);
    EXPECT_EQ(frame(made, 1).getHandle(), (Point{15, 15}));
}

TEST_F(ImageCommands, DrawingPlacesTheHandleAtThePositionPlusTheOrigin) {
    const uint32_t image = createImage(31, 31, 1);
    setBuffer(imageBuffer(image, 0));
    color(255, 0, 0);
    rect(0, 0, 31, 31, 1);
    color(0, 0, 0);
    rect(10, 10, 5, 5, 1);  // black: the mask colour
    handleImage(image, 15, 15);

    setBuffer(frontBuffer());
    clsColor(0, 0, 255);
    cls();
    origin(7, -3);
    drawImage(image, 100, 100, 0);
    origin(0, 0);
    // Top-left pixel at (100 - 15 + 7, 100 - 15 - 3).
    EXPECT_EQ(pixel(92, 82), 0xFF0000u);
    EXPECT_EQ(pixel(91, 82), 0x0000FFu);
    EXPECT_EQ(pixel(92, 81), 0x0000FFu);
    EXPECT_EQ(pixel(122, 112), 0xFF0000u);
    EXPECT_EQ(pixel(123, 112), 0x0000FFu);
    EXPECT_EQ(pixel(102, 92), 0x0000FFu) << "mask colour skipped";

    drawBlock(image, 200, 100, 0);
    EXPECT_EQ(pixel(195, 95), 0x000000u) << "solid block";
    // Rectangles of the frame: the part at (8, 8) drawn with its corner at (x, y) - handle.
    drawImageRect(image, 300, 100, 8, 8, 10, 10, 0);
    EXPECT_EQ(pixel(285, 85), 0xFF0000u);
    EXPECT_EQ(pixel(287, 87), 0x0000FFu) << "masked part";
    EXPECT_EQ(pixel(295, 85), 0x0000FFu) << "10 wide only";
    drawBlockRect(image, 300, 200, 8, 8, 10, 10, 0);
    EXPECT_EQ(pixel(287, 187), 0x000000u);

    // MaskImage changes what is transparent; an unmasked black is drawn.
    maskImage(image, 255, 0, 0);
    cls();
    drawImage(image, 100, 100, 0);
    EXPECT_EQ(pixel(85, 85), 0x0000FFu);
    EXPECT_EQ(pixel(97, 97), 0x000000u);
}

TEST_F(ImageCommands, GrabCopiesWhatTheFrameWouldCoverUnderOriginAndHandle) {
    for (int32_t x = 0; x < 64; ++x)
        for (int32_t y = 0; y < 64; ++y) writePixel(x, y, 0xFF000000 | (y << 8) | x, 0);
    const uint32_t image = createImage(8, 8, 1);
    handleImage(image, 2, 3);
    origin(10, 20);
    grabImage(image, 5, 5, 0);
    // Buffer (5 + 10 - 2, 5 + 20 - 3) becomes the frame's (0, 0).
    EXPECT_EQ(pixel(0, 0, imageBuffer(image, 0)), static_cast<uint32_t>(22 << 8 | 13));
    EXPECT_EQ(pixel(7, 7, imageBuffer(image, 0)), static_cast<uint32_t>(29 << 8 | 20));
}

TEST_F(ImageCommands, TilesAlignWithTheDrawingPositionAndFillTheViewport) {
    const uint32_t image = createImage(8, 6, 1);
    setBuffer(imageBuffer(image, 0));
    for (int32_t x = 0; x < 8; ++x)
        for (int32_t y = 0; y < 6; ++y) writePixel(x, y, 0xFF000000 | (y + 1) << 8 | (x + 1), 0);
    setBuffer(frontBuffer());
    struct Case {
        int32_t x, y, hx, hy, ox, oy;
        Rect view;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0, {0, 0, 400, 300}},      // a tile at the viewport's corner
        {3, -2, 0, 0, 0, 0, {0, 0, 400, 300}},     // at the drawing position
        {0, 0, 2, 5, 0, 0, {0, 0, 400, 300}},      // the handle shifts the grid back
        {0, 0, 0, 0, 5, 1, {0, 0, 400, 300}},      // the origin shifts it on
        {-13, 29, 1, 1, -4, 9, {21, 17, 50, 40}},  // a viewport of its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        setBuffer(frontBuffer());
        cls();
        handleImage(image, c.hx, c.hy);
        origin(c.ox, c.oy);
        viewport(c.view.x0, c.view.y0, c.view.width(), c.view.height());
        tileImage(image, c.x, c.y, 0);
        origin(0, 0);
        viewport(0, 0, 400, 300);
        int wrong = 0;
        for (int32_t y = 0; y < 300; ++y) {
            for (int32_t x = 0; x < 400; ++x) {
                // The frame pixel drawing at (c.x, c.y) would put here, repeated.
                const int32_t fx = ((x - (c.x + c.ox - c.hx)) % 8 + 8) % 8;
                const int32_t fy = ((y - (c.y + c.oy - c.hy)) % 6 + 6) % 6;
                const uint32_t want =
                    c.view.contains(x, y) ? static_cast<uint32_t>((fy + 1) << 8 | (fx + 1)) : 0;
                wrong += pixel(x, y) != want;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(ImageCommands, TransformSizesAndHandlesFollowTheSinglePrecisionBox) {
    const uint32_t image = createImage(10, 10, 1);
    handleImage(image, 5, 5);
    scaleImage(image, 2, 2);
    EXPECT_EQ(imageWidth(image), 20);
    EXPECT_EQ(imageXHandle(image), 10);
    EXPECT_EQ(imageYHandle(image), 10);

    // Mirrored about the handle: drawn at the same place, it lies on the other side of it.
    const uint32_t mirror = createImage(10, 10, 1);
    writePixel(0, 4, 0xFFFF0000, imageBuffer(mirror, 0));
    scaleImage(mirror, -1, 1);
    EXPECT_EQ(imageWidth(mirror), 10);
    EXPECT_EQ(imageXHandle(mirror), 10);
    EXPECT_EQ(imageYHandle(mirror), 0);
    drawImage(mirror, 50, 50, 0);
    EXPECT_EQ(pixel(49, 54), 0xFF0000u);

    // A quarter turn is not exact in single precision: 10 x 20 turns into 20 x 11.
    const uint32_t turned = createImage(10, 20, 1);
    rotateImage(turned, 90);
    EXPECT_EQ(imageWidth(turned), 20);
    EXPECT_EQ(imageHeight(turned), 11);
    EXPECT_EQ(imageXHandle(turned), 20);
    EXPECT_EQ(imageYHandle(turned), 1);
    const uint32_t resized = createImage(10, 20, 2);
    resizeImage(resized, 25, 5);
    EXPECT_EQ(frame(resized, 1).getWidth(), 25);
    EXPECT_EQ(frame(resized, 1).getHeight(), 5);
}

TEST_F(ImageCommands, TransformsThatCannotBeMadeLeaveTheFramesAsTheyAre) {
    const uint32_t image = createImage(10, 12, 2);
    const uint32_t buffer = imageBuffer(image, 1);
    const float nan = std::nanf("");
    const float matrices[][4] = {
        {1, 1, 1, 1},    {0, 0, 0, 0},    {2, 4, 1, 2},   {1e-30f, 0, 0, 1e-30f},
        {5000, 0, 0, 1}, {1, 0, 0, 1e9f}, {nan, 0, 0, 1}, {INFINITY, 0, 0, 1},
    };
    for (const auto& m : matrices) tFormImage(image, m[0], m[1], m[2], m[3]);
    EXPECT_EQ(imageBuffer(image, 1), buffer) << "the same frame canvases";
    EXPECT_EQ(imageWidth(image), 10);
    // A tiny but regular matrix still makes a picture: 1 x 1.
    tFormImage(image, 1e-3f, 0, 0, 1e-3f);
    EXPECT_NE(imageBuffer(image, 1), buffer);
    EXPECT_EQ(imageWidth(image), 1);
    EXPECT_EQ(imageHeight(image), 1);
}

TEST_F(ImageCommands, BuffersOfFramesEndWithTheirFrames) {
    const uint32_t image = createImage(16, 16, 2);
    const uint32_t buffer = imageBuffer(image, 1);
    setBuffer(buffer);
    writePixel(1, 1, 0xFFFFFFFF, 0);
    copyRect(0, 0, 4, 4, 8, 8, buffer, buffer);
    EXPECT_EQ(pixel(9, 9, buffer), 0xFFFFFFu);

    // A transform replaces the frames: the old buffer names nothing and the front buffer is
    // current again; the new frame is a buffer of its own.
    tFormImage(image, 1, 0, 0, 1);
    EXPECT_EQ(state().buffers.find(buffer), nullptr);
    EXPECT_EQ(graphicsBuffer(), frontBuffer());
    EXPECT_EQ(pixel(9, 9, imageBuffer(image, 1)), 0xFFFFFFu) << "the picture went along";

    setBuffer(imageBuffer(image, 0));
    freeImage(image);
    EXPECT_EQ(graphicsBuffer(), frontBuffer());
    writePixel(0, 0, 0xFFFFFFFF, buffer);  // names nothing: no effect, no fault
    freeImage(image);                      // twice: nothing
    EXPECT_EQ(state().graphics->canvasCount(), 0u);

    // Fewer than one frame, or a size no canvas can have, makes nothing.
    for (const auto& [w, h, n] : {std::tuple{8, 8, 0}, {8, 8, -5}, {0, 8, 1}, {40000, 1, 1}})
        EXPECT_EQ(createImage(w, h, n), 0u);
    EXPECT_EQ(state().images.size(), 0u);

    // A mode change frees every image.
    const uint32_t kept = createImage(4, 4, 1);
    graphics(640, 480, 16, 1);
    EXPECT_EQ(imageWidth(kept), 0);
    EXPECT_EQ(state().images.size(), 0u);
    const uint32_t again = createImage(4, 4, 1);
    endGraphics();
    EXPECT_EQ(state().images.find(again), nullptr);
}

}  // namespace
}  // namespace tx
