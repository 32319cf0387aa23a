// The graphics module: drivers and modes, buffers, pixels and drawing. Created eighth; its
// creation opens the 400 x 300 start-up window. The table keeps the module's registration order.
#include "graphics_module.h"
#include "basic_module.h"
#include "command.h"
#include "graphics_commands.h"
#include "graphics_state.h"

namespace tx {
namespace {

constexpr CommandDef kGraphicsCommands[] = {
    command<countGfxDrivers>("%CountGfxDrivers"),
    command<gfxDriverName>("$GfxDriverName%driver"),
    command<setGfxDriver>("SetGfxDriver%driver"),
    command<countGfxModes>("%CountGfxModes"),
    command<gfxModeExists>("%GfxModeExists%width%height%depth"),
    command<gfxModeWidth>("%GfxModeWidth%mode"),
    command<gfxModeHeight>("%GfxModeHeight%mode"),
    command<gfxModeDepth>("%GfxModeDepth%mode"),
    command<availVidMem>("%AvailVidMem"),
    command<totalVidMem>("%TotalVidMem"),
    command<graphics>("Graphics%width%height%depth=0%mode=0"),
    command<endGraphics>("EndGraphics"),
    command<frontBuffer>("%FrontBuffer"),
    command<backBuffer>("%BackBuffer"),
    command<scanLine>("%ScanLine"),
    command<vWait>("VWait%frames=1"),
    command<flip>("Flip%vwait=1"),
    command<graphicsWidth>("%GraphicsWidth"),
    command<graphicsHeight>("%GraphicsHeight"),
    command<graphicsDepth>("%GraphicsDepth"),
    command<setBuffer>("SetBuffer%buffer"),
    command<graphicsBuffer>("%GraphicsBuffer"),
    command<saveBuffer>("%SaveBuffer%buffer$bmpfile"),
    command<lockBuffer>("LockBuffer%buffer=0"),
    command<unlockBuffer>("UnlockBuffer%buffer=0"),
    command<readPixel>("%ReadPixel%x%y%buffer=0"),
    command<writePixel>("WritePixel%x%y%argb%buffer=0"),
    command<readPixelFast>("%ReadPixelFast%x%y%buffer=0"),
    command<writePixelFast>("WritePixelFast%x%y%argb%buffer=0"),
    command<copyPixel>("CopyPixel%src_x%src_y%src_buffer%dest_x%dest_y%dest_buffer=0"),
    command<copyPixelFast>("CopyPixelFast%src_x%src_y%src_buffer%dest_x%dest_y%dest_buffer=0"),
    command<origin>("Origin%x%y"),
    command<viewport>("Viewport%x%y%width%height"),
    command<color>("Color%red%green%blue"),
    command<getColor>("GetColor%x%y"),
    command<colorRed>("%ColorRed"),
    command<colorGreen>("%ColorGreen"),
    command<colorBlue>("%ColorBlue"),
    command<clsColor>("ClsColor%red%green%blue"),
    command<cls>("Cls"),
    command<plot>("Plot%x%y"),
    command<rect>("Rect%x%y%width%height%solid=1"),
    command<oval>("Oval%x%y%width%height%solid=1"),
    command<line>("Line%x1%y1%x2%y2"),
    command<copyRect>(
        "CopyRect%source_x%source_y%width%height%dest_x%dest_y%src_buffer=0%dest_buffer=0"),
};

}  // namespace

void linkGraphics(CommandRegistrar& registrar) {
    registrar.add(kGraphicsCommands);
}

bool graphicsCreate() {
    return openGraphicsModule(theRuntime());
}

void graphicsDestroy() {
    closeGraphicsModule();
}

}  // namespace tx
