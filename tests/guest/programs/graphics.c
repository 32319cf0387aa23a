/* The graphics module from compiled code. The command line picks the case: "picture" opens a
 * 640 x 480 full-screen mode, draws every primitive into the back buffer, flips and saves both
 * buffers as BMP files into TX_DIR for the test to read; "state" opens mode 0 under the debug
 * flag; the rest are the mode and driver index errors. */
#include "check.h"

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
}

/* Under the debug flag mode 0 is a window, so a size no full-screen mode has is taken. */
static void state(void) {
    Graphics(320, 200, 0, 0);
    CHECK(GraphicsWidth() == 320 && GraphicsHeight() == 200);
}

TX_MAIN {
    static const txCase cases[] = {{"picture", picture}, {"state", state}};
    if (RUN_CASE(cases)) return;
    if (argumentIs("modeindex")) GfxModeWidth(1);
    if (argumentIs("modeheight")) GfxModeHeight(CountGfxModes() + 1);
    if (argumentIs("modedepth")) GfxModeDepth(0);
    if (argumentIs("driverindex")) GfxDriverName(0);
    if (argumentIs("setdriver")) SetGfxDriver(CountGfxDrivers() + 1);
}
