/* The graphics module from compiled code. The command line picks the case: "picture" opens a
 * 640 x 480 full-screen mode, draws every primitive into the back buffer, flips, saves both
 * buffers as BMP files into TX_DIR and loads them back to check where the primitives landed;
 * "state" opens mode 0 under the debug flag; "error" ends a full-screen picture with a runtime
 * error; the rest are the mode and driver index errors. */
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
    return rgb(x, y, ImageBuffer(saved, 0));
}

/* The saved front buffer, read back: one pixel inside and one beside each primitive, so that
 * every argument reached its command (their exact shapes are checked on canvases). */
static void checkFront(void) {
    saved = LoadImage(dirPath("/front.bmp"));
    CHECK(ImageWidth(saved) == 640 && ImageHeight(saved) == 480);
    /* Rectangles: solid, outlined, under the origin (400, 300), clipped by the viewport. */
    CHECK(at(109, 59) == kRed && at(110, 60) == kBackground && at(9, 30) == kBackground);
    CHECK(at(299, 59) == kGreen && at(250, 30) == kBackground);
    CHECK(at(419, 319) == kCyan && at(420, 320) == kBackground);
    CHECK(at(600, 400) == kOrange && at(619, 419) == kOrange && at(599, 399) == kBackground);
    CHECK(at(620, 420) == kBackground);
    /* Ovals in the boxes (10, 100) and (200, 100), 100 x 100, and the lines. */
    CHECK(at(10, 150) == kBlue && at(109, 150) == kBlue && at(9, 150) == kBackground);
    CHECK(at(200, 150) == kYellow && at(299, 150) == kYellow && at(250, 150) == kBackground);
    CHECK(at(0, 479) == kWhite && at(639, 0) == kWhite && at(420, 460) == kWhite);
    /* Pixels and block copies: CopyRect took the red rectangle's corner to (450, 10); fast and
     * slow pixel copies and writes. */
    CHECK(at(500, 300) == kMagenta && at(469, 29) == kRed && at(470, 30) == kBackground);
    CHECK(at(5, 5) == 0x123456 && at(7, 5) == 0x00FF00);
    CHECK(at(9, 5) == 0x123456 && at(11, 5) == 0x123456);
    FreeImage(saved);

    /* The flip gave the cleared page to the back buffer. */
    saved = LoadImage(dirPath("/back.bmp"));
    CHECK(ImageWidth(saved) == 640 && countOf(saved, 0, 0, 640, 480, 0) == 640 * 480);
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

/* A runtime error over a full-screen picture: a red rectangle at the top left. */
static void error(void) {
    Graphics(640, 480, 0, 1);
    SetBuffer(BackBuffer());
    Color(255, 0, 0);
    Rect(0, 0, 100, 100, 1);
    Flip(0);
    RuntimeError(S("Image does not exist"));
}

/* Under the debug flag mode 0 is a window, so a size no full-screen mode has is taken; a flip
 * with vsync waits for the next refresh. */
static void state(void) {
    Graphics(320, 200, 0, 0);
    CHECK(GraphicsWidth() == 320 && GraphicsHeight() == 200);
    Flip(1);
}

TX_MAIN {
    static const txCase cases[] = {{"picture", picture}, {"state", state}, {"error", error}};
    if (RUN_CASE(cases)) return;
    if (argumentIs("modeindex")) GfxModeWidth(1);
    if (argumentIs("modeheight")) GfxModeHeight(CountGfxModes() + 1);
    if (argumentIs("modedepth")) GfxModeDepth(0);
    if (argumentIs("driverindex")) GfxDriverName(0);
    if (argumentIs("setdriver")) SetGfxDriver(CountGfxDrivers() + 1);
}
