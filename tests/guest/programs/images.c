/* Images from compiled code. "game" draws an animation strip, saves it, loads it back as
 * frames, animates them into the back buffer, rotates a copy, tests collisions, tiles a frame
 * into a viewport, works the whole strip through the other image commands, flips, saves the
 * picture as images.bmp in TX_DIR and checks the tiles in it. The other cases are the image
 * errors: with the debug flag set they end the program, without it the calls do nothing and
 * answer 0. */
#include "check.h"

/* Cell i of the strip: black (the mask colour) with a 24 x 24 square at (4, 4). */
static const int kCellColour[3] = {0xFF0000, 0x00FF00, 0x0000FF};

static txstr stripPath(void) {
    return dirPath("/Strip.BMP");
}

static void makeStrip(void) {
    int sheet = CreateImage(100, 32, 1); /* 3 whole cells, 4 columns left over */
    int i;
    CHECK(sheet != 0);
    SetBuffer(ImageBuffer(sheet, 0));
    for (i = 0; i < 3; i++) {
        Color(kCellColour[i] >> 16, kCellColour[i] >> 8 & 255, kCellColour[i] & 255);
        Rect(32 * i + 4, 4, 24, 24, 1);
    }
    CHECK(SaveImage(sheet, stripPath(), 0) == 1);
    FreeImage(sheet);
    CHECK(GraphicsBuffer() == FrontBuffer()); /* freeing the current buffer's image */
}

/* The strip as one image, mid-handled as it loads, drawn into the back buffer's rows 200..339
 * (away from the tiles the picture test reads): solid and in parts, grabbed back under a handle
 * and an origin, masked, transformed about its handle; then the strip loaded over the front
 * buffer and cut into cells of two rows. */
static void wholeStrip(void) {
    int pic, part, grid;
    AutoMidHandle(1);
    pic = LoadImage(stripPath());
    AutoMidHandle(0);
    CHECK(ImageXHandle(pic) == 50 && ImageYHandle(pic) == 16);
    DrawBlock(pic, 60, 216, 0); /* the corner at (10, 200), black drawn too */
    CHECK(rgb(10, 200, 0) == 0 && rgb(14, 204, 0) == 0xFF0000 && rgb(9, 200, 0) == 0x000040);
    /* Columns 36..65, rows 0..9 of the strip, the corner at (10, 250): green from (10, 254). */
    DrawImageRect(pic, 60, 266, 36, 0, 30, 10, 0);
    CHECK(rgb(10, 254, 0) == 0x00FF00 && rgb(10, 250, 0) == 0x000040);
    DrawBlockRect(pic, 60, 266, 36, 0, 30, 10, 0);
    CHECK(rgb(10, 250, 0) == 0);

    /* An 8 x 8 frame handled at (2, 2) under the origin (5, 5) takes the area at (10, 200). */
    part = CreateImage(8, 8, 1);
    HandleImage(part, 2, 2);
    Origin(5, 5);
    GrabImage(part, 7, 197, 0);
    Origin(0, 0);
    CHECK(rgb(4, 4, ImageBuffer(part, 0)) == 0xFF0000 && rgb(3, 3, ImageBuffer(part, 0)) == 0);

    /* Red transparent, black drawn. */
    MaskImage(pic, 255, 0, 0);
    DrawImage(pic, 60, 316, 0);
    CHECK(rgb(10, 300, 0) == 0 && rgb(14, 304, 0) == 0x000040);

    /* Mirrored and stretched about the handle; the old frame's buffer goes with it. */
    SetBuffer(ImageBuffer(pic, 0));
    ScaleImage(pic, -0.5, 2);
    CHECK(GraphicsBuffer() == FrontBuffer());
    CHECK(ImageWidth(pic) == 50 && ImageHeight(pic) == 64 && ImageXHandle(pic) == 25);
    ResizeImage(pic, 50, 16);
    TFormImage(pic, 1, 1, 1, 1); /* singular: nothing changes */
    CHECK(ImageWidth(pic) == 50 && ImageHeight(pic) == 16);

    /* The strip stretched over the front buffer (the flip replaces it), its origin ignored:
     * (x, y) shows the strip's ((x + 0.5) / 6.4, (y + 0.5) / 15). */
    Origin(30, 30);
    TFormFilter(0);
    CHECK(LoadBuffer(FrontBuffer(), stripPath()) == 1);
    TFormFilter(1);
    Origin(0, 0);
    CHECK(rgb(40, 100, FrontBuffer()) == 0xFF0000 && rgb(200, 200, FrontBuffer()) == 0);
    CHECK(LoadBuffer(FrontBuffer(), dirPath("/missing.bmp")) == 0);

    /* Cells of 25 x 16 in reading order from the third: the strip's (50, 0), (75, 0), (0, 16). */
    grid = LoadAnimImage(stripPath(), 25, 16, 2, 3);
    CHECK(rgb(0, 4, ImageBuffer(grid, 1)) == 0x0000FF &&
          rgb(4, 0, ImageBuffer(grid, 2)) == 0xFF0000);

    /* What cannot be made is nothing. */
    CHECK(CreateImage(40000, 1, 1) == 0 && CreateImage(8, 8, 0) == 0);
    CHECK(LoadAnimImage(stripPath(), -32, -32, 0, 3) == 0);
    CHECK(RectsOverlap(0, 0, 10, 10, 9, 9, 10, 10) == 1);
    FreeImage(part);
    FreeImage(pic);
    SetBuffer(BackBuffer());
}

static void game(void) {
    int anim, copy, frame;
    Graphics(640, 480, 32, 1);
    makeStrip();
    anim = LoadAnimImage(dirPath("/strip.bmp"), 32, 32, 0, 3); /* any case, as on Windows */
    CHECK(ImageWidth(anim) == 32 && ImageHeight(anim) == 32);

    SetBuffer(BackBuffer());
    ClsColor(0, 0, 64);
    Cls();
    /* Three frames of the animation, one step each. */
    for (frame = 0; frame < 3; frame++) {
        DrawImage(anim, 50 + 40 * frame, 50, frame);
        CHECK(rgb(50 + 40 * frame + 16, 66, 0) == kCellColour[frame]);
        CHECK(rgb(50 + 40 * frame + 1, 51, 0) == 0x000040); /* masked */
    }

    /* A copy turned by 45 degrees about its middle: larger, still centred. */
    MidHandle(anim);
    copy = CopyImage(anim); /* the handle goes along */
    HandleImage(anim, 0, 0);
    RotateImage(copy, 45);
    CHECK(ImageWidth(copy) == 46 && ImageHeight(copy) == 46 && ImageXHandle(copy) == 23);
    CHECK(ImageWidth(anim) == 32); /* the strip's frames are untouched */

    /* Frame 0 at (50, 50) has its box at 50..81 and its square at 54..77 (the per-pixel rules
     * are checked on canvases); frames against each other meet while less than 24 apart. */
    CHECK(ImageRectOverlap(anim, 50, 50, 47, 60, 4, 4) == 1);
    CHECK(ImageRectCollide(anim, 50, 50, 0, 47, 60, 7, 4) == 0);
    CHECK(ImageRectCollide(anim, 50, 50, 0, 77, 77, 1, 1) == 1);
    CHECK(ImagesOverlap(anim, 50, 50, anim, 74, 70) == 1);
    Origin(500, 500); /* no part in collisions */
    CHECK(ImagesCollide(anim, 50, 50, 0, anim, 73, 70, 1) == 1);
    CHECK(ImagesCollide(anim, 50, 50, 0, anim, 74, 70, 1) == 0);
    Origin(0, 0);

    /* Frame 2 tiled over a viewport, aligned with where it would be drawn: at (0, 0). */
    HandleImage(anim, 5, 3);
    Origin(7, -1);
    Viewport(404, 300, 100, 100);
    TileImage(anim, 30, 4, 2);
    Viewport(0, 0, 640, 480);
    Origin(0, 0);

    wholeStrip();
    Flip(0);
    CHECK(SaveBuffer(FrontBuffer(), dirPath("/images.bmp")) == 1);
    FreeImage(copy);
    FreeImage(anim);

    /* In the saved picture frame 2's square is tiled from (0, 0), only inside the viewport. */
    int saved = LoadImage(dirPath("/images.bmp")), wrong = 0;
    for (int y = 280; y < 420; ++y) {
        for (int x = 380; x < 520; ++x) {
            int inView = x >= 404 && x < 504 && y >= 300 && y < 400;
            int inSquare = x % 32 >= 4 && x % 32 < 28 && y % 32 >= 4 && y % 32 < 28;
            wrong += rgb(x, y, ImageBuffer(saved, 0)) != (inView && inSquare ? 0x0000FF : 0x000040);
        }
    }
    CHECK(wrong == 0);
}

static void errors(void) {
    int image = CreateImage(8, 8, 2);
    int gone = CreateImage(8, 8, 1);
    int quiet = argumentIs("quiet"); /* every case, debug flag clear */
    FreeImage(gone);
    FreeImage(gone); /* twice: nothing */
    if (quiet || argumentIs("frame-2")) CHECK(ImageBuffer(image, 2) == 0);
    if (quiet || argumentIs("frame-1")) DrawImage(image, 0, 0, -1);
    if (quiet || argumentIs("collide-frame"))
        CHECK(ImagesCollide(image, 0, 0, 0, image, 0, 0, 5) == 0);
    if (argumentIs("count0")) LoadAnimImage(stripPath(), 32, 32, 0, 0);
    if (argumentIs("first-1")) LoadAnimImage(stripPath(), 32, 32, -1, 1);
    if (argumentIs("not-enough")) LoadAnimImage(stripPath(), 32, 32, 1, 3);
    if (argumentIs("cell0")) LoadAnimImage(stripPath(), 0, 32, 0, 1);
    CHECK(ImageWidth(image) == 8);
}

TX_MAIN {
    if (argumentIs("game")) {
        game();
        return;
    }
    makeStrip();
    errors();
}
