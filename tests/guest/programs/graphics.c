/* The graphics module from compiled code. The command line picks the case: "picture" opens a
 * 640 x 480 full-screen mode, draws every primitive into the back buffer, flips, saves both
 * buffers as BMP files into TX_DIR and loads them back to check where every pixel landed;
 * "state" opens mode 0 under the debug flag; "pacing" flips 300 frames with vsync; "error" ends
 * a full-screen picture with a runtime error; the rest are the mode and driver index errors. */
#include "check.h"

enum {
    kBackground = 0x000040,
    kRed = 0xFF0000,
    kGreen = 0x00FF00,
    kBlue = 0x0000FF,
    kYellow = 0xFFFF00,
    kWhite = 0xFFFFFF,
    kMagenta = 0xFF00FF,
    kCyan = 0x00FFFF,
    kOrange = 0xFF8000
};

static int saved; /* the image loaded from a saved buffer */

static int at(int x, int y) {
    return pixelOf(saved, x, y);
}

static int count(int x0, int y0, int x1, int y1, int colour) {
    return countOf(saved, x0, y0, x1, y1, colour);
}

/* The saved front buffer, read back: every primitive where it should be. */
static void checkFront(void) {
    saved = LoadImage(dirPath("/front.bmp"));
    CHECK(ImageWidth(saved) == 640 && ImageHeight(saved) == 480);
    /* Rectangles: solid with nothing red around it, outlined (the inside untouched), under the
     * origin (400, 300), and 40 x 40 clipped by a 20 x 20 viewport at (600, 400). */
    CHECK(count(9, 9, 111, 61, kRed) == 100 * 50 && count(10, 10, 110, 60, kRed) == 100 * 50);
    CHECK(count(200, 10, 300, 60, kGreen) == 2 * 100 + 2 * 48);
    CHECK(count(201, 11, 299, 59, kBackground) == 98 * 48);
    CHECK(count(398, 298, 422, 322, kCyan) == 20 * 20 && at(400, 300) == kCyan);
    CHECK(count(580, 380, 640, 440, kOrange) == 20 * 20 && at(600, 400) == kOrange);
    CHECK(at(619, 419) == kOrange && at(599, 410) == kBackground && at(610, 420) == kBackground);

    /* Ovals follow their row spans (their exact shapes are checked on canvases). Solid, box
     * (10, 100)-(110, 200): row 150 spans [10, 110), rows 100 and 199 are [53, 67). */
    CHECK(count(10, 150, 110, 151, kBlue) == 100 && at(9, 150) == kBackground);
    CHECK(at(110, 150) == kBackground);
    CHECK(count(0, 100, 120, 101, kBlue) == 14 && count(0, 199, 120, 200, kBlue) == 14);
    CHECK(count(0, 99, 640, 100, kBlue) == 0 && count(0, 200, 200, 201, kBlue) == 0);
    /* Outline, box (200, 100)-(300, 200): an edge pixel in every row, none outside the box, an
     * empty middle; the top row is filled from each edge to the centre, [243, 257). */
    CHECK(at(200, 150) == kYellow && at(299, 150) == kYellow);
    CHECK(at(200, 100) == kBackground && at(299, 199) == kBackground);
    CHECK(count(190, 100, 310, 101, kYellow) == 14 && count(230, 130, 270, 170, kYellow) == 0);
    for (int y = 100; y < 200; ++y) CHECK(count(200, y, 300, y + 1, kYellow) > 0);
    CHECK(count(150, 95, 350, 100, kYellow) + count(150, 200, 350, 205, kYellow) == 0);

    /* The diagonal (0, 479)-(639, 0) is wider than tall: one pixel in every column, within half
     * a pixel of the true line; the horizontal line adds one more in columns 320 to 420. */
    CHECK(count(300, 460, 440, 461, kWhite) == 101);
    for (int x = 0; x < 640; ++x) {
        int whites = 0, y = -1;
        for (int row = 0; row < 480; ++row) {
            if (at(x, row) != kWhite) continue;
            ++whites;
            if (row != 460 || x < 320 || x > 420) y = row;
        }
        CHECK(whites == (x >= 320 && x <= 420 ? 2 : 1));
        int off = 639 * y - 479 * (639 - x);
        CHECK(2 * (off < 0 ? -off : off) <= 639);
    }

    /* Pixels and block copies: CopyRect took the red rectangle's corner to (450, 10); fast and
     * slow pixel copies and writes. */
    CHECK(at(500, 300) == kMagenta && count(499, 299, 502, 302, kMagenta) == 1);
    CHECK(count(440, 0, 480, 40, kRed) == 20 * 20 && at(450, 10) == kRed && at(469, 29) == kRed);
    CHECK(at(5, 5) == 0x123456 && at(7, 5) == 0x00FF00);
    CHECK(at(9, 5) == 0x123456 && at(11, 5) == 0x123456);
    FreeImage(saved);

    /* The flip gave the cleared page to the back buffer. */
    saved = LoadImage(dirPath("/back.bmp"));
    CHECK(ImageWidth(saved) == 640 && count(0, 0, 640, 480, 0) == 640 * 480);
    FreeImage(saved);
}

static void picture(void) {
    Graphics(640, 480, 32, 1);
    SetBuffer(BackBuffer());
    ClsColor(0, 0, 64);
    Cls();

    Color(255, 0, 0);
    Rect(10, 10, 100, 50, 1);
    Color(0, 255, 0);
    Rect(200, 10, 100, 50, 0);
    Color(0, 0, 255);
    Oval(10, 100, 100, 100, 1);
    Color(255, 255, 0);
    Oval(200, 100, 100, 100, 0);
    Color(255, 255, 255);
    Line(0, 479, 639, 0);
    Line(320, 460, 420, 460);
    Color(255, 0, 255);
    Plot(500, 300);

    Origin(400, 300);
    Color(0, 255, 255);
    Rect(0, 0, 20, 20, 1);
    Origin(0, 0);

    Viewport(600, 400, 20, 20);
    Color(255, 128, 0);
    Rect(590, 390, 40, 40, 1);
    Viewport(0, 0, 640, 480);

    WritePixel(5, 5, 0xFF123456, 0);
    CopyRect(10, 10, 20, 20, 450, 10, 0, 0);

    /* The pixel commands under a lock: fast writes and copies, a slow copy after. */
    LockBuffer(0);
    WritePixelFast(7, 5, 0xFF00FF00, 0);
    CopyPixelFast(5, 5, 0, 9, 5, BackBuffer());
    CHECK(ReadPixelFast(7, 5, 0) == (int)0xFF00FF00);
    UnlockBuffer(0);
    CopyPixel(5, 5, BackBuffer(), 11, 5, 0);
    GetColor(11, 5);
    CHECK((ColorRed() << 16 | ColorGreen() << 8 | ColorBlue()) == 0x123456);
    CHECK(GraphicsBuffer() == BackBuffer());
    CHECK(TotalVidMem() >= AvailVidMem() && AvailVidMem() >= 0);

    Flip(0);
    CHECK(GraphicsWidth() == 640 && GraphicsHeight() == 480 && GraphicsDepth() == 32);
    CHECK(SaveBuffer(FrontBuffer(), dirPath("/front.bmp")) == 1);
    CHECK(SaveBuffer(BackBuffer(), dirPath("/back.bmp")) == 1);
    checkFront();
}

/* 300 frames of Flip 1 in a 640 x 480 window after one to start on a blank; the milliseconds
 * they took go to the debugger's log. */
static void pacing(void) {
    Graphics(640, 480, 0, 2);
    SetBuffer(BackBuffer());
    Flip(1);
    const int start = MilliSecs();
    for (int frame = 0; frame < 300; ++frame) {
        Cls();
        Rect(frame * 2, 200, 40, 40, 1);
        Flip(1);
    }
    DebugLog(_txStrFromInt(MilliSecs() - start));
}

/* A runtime error over a full-screen picture: a red rectangle at the top left. */
static void error(void) {
    Graphics(640, 480, 0, 1);
    SetBuffer(BackBuffer());
    Color(255, 0, 0);
    Rect(0, 0, 100, 100, 1);
    Flip(0);
    RuntimeError(S("Image does not exist"));
}

/* Under the debug flag mode 0 is a window, so a size no full-screen mode has is taken. */
static void state(void) {
    Graphics(320, 200, 0, 0);
    CHECK(GraphicsWidth() == 320 && GraphicsHeight() == 200);
}

TX_MAIN {
    static const txCase cases[] = {{"picture", picture}, {"state", state}, {"pacing", pacing}, {"error", error}};
    if (RUN_CASE(cases)) return;
    if (argumentIs("modeindex")) GfxModeWidth(1);
    if (argumentIs("modeheight")) GfxModeHeight(CountGfxModes() + 1);
    if (argumentIs("modedepth")) GfxModeDepth(0);
    if (argumentIs("driverindex")) GfxDriverName(0);
    if (argumentIs("setdriver")) SetGfxDriver(CountGfxDrivers() + 1);
}
