/* The graphics module from compiled code. The command line picks the case: "picture" opens a
 * 640 x 480 full-screen mode, draws every primitive into the back buffer, flips and saves both
 * buffers as BMP files into TX_DIR for the test to read; "state" checks the start-up display
 * and the drawing state across mode changes; the rest are errors. */
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

static void state(void) {
    CHECK(GraphicsWidth() == 400 && GraphicsHeight() == 300);
    CHECK(FrontBuffer() != BackBuffer());
    WritePixel(3, 4, 0xFF00FF00, BackBuffer());
    CHECK(ReadPixel(3, 4, FrontBuffer()) == (int)0xFF00FF00); /* one picture */
    CHECK(GfxModeExists(640, 480, 0) == 0);
    CHECK(GfxModeExists(640, 480, 32) == 1);
    CHECK(CountGfxModes() != 0);
    CHECK(GfxModeWidth(1) == 320 && GfxModeHeight(1) == 240 && GfxModeDepth(1) == 16);

    Color(300, 0, 0);
    CHECK(ColorRed() == 44);
    ClsColor(9, 9, 9);
    Graphics(320, 200, 0, 0); /* windowed: the debug flag is set */
    CHECK(GraphicsWidth() == 320);
    CHECK((ColorRed() << 16 | ColorGreen() << 8 | ColorBlue()) == 0xFFFFFF); /* white again */
    Cls();
    CHECK(ReadPixel(0, 0, 0) == (int)0xFF000000);
    CHECK(ScanLine() >= 0);
    Graphics(320, 200, 0, 3); /* scaled window */
    CHECK(GraphicsWidth() == 320 && GraphicsHeight() == 200);
    VWait(3);
    Flip(1);
    EndGraphics();
    CHECK(GraphicsWidth() == 400);
}

TX_MAIN {
    static const txCase cases[] = {{"picture", picture}, {"state", state}};
    if (RUN_CASE(cases)) return;
    if (argumentIs("mode4")) Graphics(640, 480, 0, 4);
    if (argumentIs("mode-1")) Graphics(640, 480, 0, -1);
    if (argumentIs("unable")) Graphics(641, 480, 16, 1);
    if (argumentIs("modeindex")) GfxModeWidth(1);
    if (argumentIs("modeheight")) GfxModeHeight(CountGfxModes() + 1);
    if (argumentIs("modedepth")) GfxModeDepth(0);
    if (argumentIs("driverindex")) GfxDriverName(0);
    if (argumentIs("setdriver")) SetGfxDriver(CountGfxDrivers() + 1);
}
