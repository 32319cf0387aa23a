/* The start-up display and the drawing state across mode changes, handed back through the
 * environment. */
#include "guest_report.h"

TX_MAIN {
    putInt("TX_GS_START_W", GraphicsWidth());
    putInt("TX_GS_START_H", GraphicsHeight());
    putInt("TX_GS_FRONT_IS_BACK", FrontBuffer() == BackBuffer());
    WritePixel(3, 4, 0xFF00FF00, BackBuffer());
    putInt("TX_GS_SHARED", ReadPixel(3, 4, FrontBuffer()));
    putInt("TX_GS_EXISTS_0", GfxModeExists(640, 480, 0));
    putInt("TX_GS_EXISTS_32", GfxModeExists(640, 480, 32));
    putInt("TX_GS_MODES", CountGfxModes());
    putInt("TX_GS_MODE1", GfxModeWidth(1) * 10000 + GfxModeHeight(1) * 10 + GfxModeDepth(1) / 8);

    Color(300, 0, 0);
    putInt("TX_GS_RED300", ColorRed());
    ClsColor(9, 9, 9);
    Graphics(320, 200, 0, 0); /* windowed: the debug flag is set */
    putInt("TX_GS_AFTER_W", GraphicsWidth());
    putInt("TX_GS_AFTER_COLOR", ColorRed() << 16 | ColorGreen() << 8 | ColorBlue());
    Cls();
    putInt("TX_GS_AFTER_CLS", ReadPixel(0, 0, 0));
    putInt("TX_GS_LINE", ScanLine() >= 0);
    VWait(3);
    Flip(1);
    EndGraphics();
    putInt("TX_GS_END_W", GraphicsWidth());
}
