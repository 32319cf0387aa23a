/* One graphics error per run, chosen by the command line; TX_GFX_AFTER is set only if the
 * program goes on past it. */
#include "guest_report.h"

TX_MAIN {
    if (argumentIs("mode4")) Graphics(640, 480, 0, 4);
    if (argumentIs("mode-1")) Graphics(640, 480, 0, -1);
    if (argumentIs("unable")) Graphics(641, 480, 16, 1);
    if (argumentIs("buffer")) SetBuffer(12345);
    if (argumentIs("readpixel")) ReadPixel(0, 0, 777);
    if (argumentIs("copyrect")) CopyRect(0, 0, 1, 1, 0, 0, 0, 999);
    if (argumentIs("copyrectsource")) CopyRect(0, 0, 1, 1, 0, 0, 999, 0);
    if (argumentIs("writepixel")) WritePixel(0, 0, 0, 777);
    if (argumentIs("savebuffer")) SaveBuffer(777, _txStrConst("never.bmp"));
    if (argumentIs("lockbuffer")) LockBuffer(777);
    if (argumentIs("unlockbuffer")) UnlockBuffer(777);
    if (argumentIs("modeindex")) GfxModeWidth(1);
    if (argumentIs("modeheight")) GfxModeHeight(CountGfxModes() + 1);
    if (argumentIs("modedepth")) GfxModeDepth(0);
    if (argumentIs("driverindex")) GfxDriverName(0);
    if (argumentIs("setdriver")) SetGfxDriver(CountGfxDrivers() + 1);
    SetEnv(_txStrConst("TX_GFX_AFTER"), _txStrConst("yes"));
}
