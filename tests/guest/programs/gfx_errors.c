/* One graphics error per run, chosen by the command line; TX_GFX_AFTER is set only if the
 * program goes on past it. */
#include "tervex.h"

static int is(const char* name) {
    return _txStrCompare(CommandLine(), _txStrConst(name)) == 0;
}

TX_MAIN {
    if (is("mode4")) Graphics(640, 480, 0, 4);
    if (is("mode-1")) Graphics(640, 480, 0, -1);
    if (is("unable")) Graphics(641, 480, 16, 1);
    if (is("buffer")) SetBuffer(12345);
    if (is("readpixel")) ReadPixel(0, 0, 777);
    if (is("copyrect")) CopyRect(0, 0, 1, 1, 0, 0, 0, 999);
    if (is("copyrectsource")) CopyRect(0, 0, 1, 1, 0, 0, 999, 0);
    if (is("writepixel")) WritePixel(0, 0, 0, 777);
    if (is("savebuffer")) SaveBuffer(777, _txStrConst("never.bmp"));
    if (is("lockbuffer")) LockBuffer(777);
    if (is("unlockbuffer")) UnlockBuffer(777);
    if (is("modeindex")) GfxModeWidth(1);
    if (is("modeheight")) GfxModeHeight(CountGfxModes() + 1);
    if (is("modedepth")) GfxModeDepth(0);
    if (is("driverindex")) GfxDriverName(0);
    if (is("setdriver")) SetGfxDriver(CountGfxDrivers() + 1);
    SetEnv(_txStrConst("TX_GFX_AFTER"), _txStrConst("yes"));
}
