/* Opens a 640 x 480 full-screen mode, draws every primitive into the back buffer, flips and
 * saves both buffers as BMP files into the directory given as the command line. */
#include "guest_report.h"

static txstr path(const char* file) {
    return _txStrConcat(CommandLine(), _txStrConst(file));
}

TX_MAIN {
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
    putInt("TX_GFX_FAST", ReadPixelFast(7, 5, 0));
    UnlockBuffer(0);
    CopyPixel(5, 5, BackBuffer(), 11, 5, 0);
    GetColor(11, 5);
    putInt("TX_GFX_GOT", ColorRed() << 16 | ColorGreen() << 8 | ColorBlue());
    putInt("TX_GFX_CURRENT_IS_BACK", GraphicsBuffer() == BackBuffer());
    putInt("TX_GFX_VIDMEM", TotalVidMem() >= AvailVidMem() && AvailVidMem() >= 0);

    Flip(0);
    putInt("TX_GFX_WIDTH", GraphicsWidth());
    putInt("TX_GFX_HEIGHT", GraphicsHeight());
    putInt("TX_GFX_DEPTH", GraphicsDepth());
    putInt("TX_GFX_SAVED_FRONT", SaveBuffer(FrontBuffer(), path("/front.bmp")));
    putInt("TX_GFX_SAVED_BACK", SaveBuffer(BackBuffer(), path("/back.bmp")));
}
