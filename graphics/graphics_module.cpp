// The graphics module: drivers and modes, buffers, pixels and drawing, fonts and text, images
// and collisions.
// Created eighth; its creation opens the 400 x 300 start-up window. The table keeps the module's
// registration order.
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
    command<loadBuffer>("%LoadBuffer%buffer$bmpfile"),
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
    command<setFont>("SetFont%font"),
    command<cls>("Cls"),
    command<plot>("Plot%x%y"),
    command<rect>("Rect%x%y%width%height%solid=1"),
    command<oval>("Oval%x%y%width%height%solid=1"),
    command<line>("Line%x1%y1%x2%y2"),
    command<text>("Text%x%y$text%centre_x=0%centre_y=0"),
    command<copyRect>(
        "CopyRect%source_x%source_y%width%height%dest_x%dest_y%src_buffer=0%dest_buffer=0"),
    command<loadFont>("%LoadFont$fontname%height=12%bold=0%italic=0%underline=0"),
    command<freeFont>("FreeFont%font"),
    command<fontWidth>("%FontWidth"),
    command<fontHeight>("%FontHeight"),
    command<stringWidth>("%StringWidth$string"),
    command<stringHeight>("%StringHeight$string"),
    command<loadImage>("%LoadImage$bmpfile"),
    command<copyImage>("%CopyImage%image"),
    command<createImage>("%CreateImage%width%height%frames=1"),
    command<loadAnimImage>("%LoadAnimImage$bmpfile%cellwidth%cellheight%first%count"),
    command<freeImage>("FreeImage%image"),
    command<saveImage>("%SaveImage%image$bmpfile%frame=0"),
    command<grabImage>("GrabImage%image%x%y%frame=0"),
    command<imageBuffer>("%ImageBuffer%image%frame=0"),
    command<drawImage>("DrawImage%image%x%y%frame=0"),
    command<drawBlock>("DrawBlock%image%x%y%frame=0"),
    command<tileImage>("TileImage%image%x=0%y=0%frame=0"),
    command<tileBlock>("TileBlock%image%x=0%y=0%frame=0"),
    command<drawImageRect>("DrawImageRect%image%x%y%rect_x%rect_y%rect_width%rect_height%frame=0"),
    command<drawBlockRect>("DrawBlockRect%image%x%y%rect_x%rect_y%rect_width%rect_height%frame=0"),
    command<maskImage>("MaskImage%image%red%green%blue"),
    command<handleImage>("HandleImage%image%x%y"),
    command<midHandle>("MidHandle%image"),
    command<autoMidHandle>("AutoMidHandle%enable"),
    command<imageWidth>("%ImageWidth%image"),
    command<imageHeight>("%ImageHeight%image"),
    command<imageXHandle>("%ImageXHandle%image"),
    command<imageYHandle>("%ImageYHandle%image"),
    command<scaleImage>("ScaleImage%image#xscale#yscale"),
    command<resizeImage>("ResizeImage%image#width#height"),
    command<rotateImage>("RotateImage%image#angle"),
    command<tFormImage>("TFormImage%image#a#b#c#d"),
    command<tFormFilter>("TFormFilter%enable"),
    command<imagesOverlap>("%ImagesOverlap%image1%x1%y1%image2%x2%y2"),
    command<imagesCollide>("%ImagesCollide%image1%x1%y1%frame1%image2%x2%y2%frame2"),
    command<rectsOverlap>("%RectsOverlap%x1%y1%width1%height1%x2%y2%width2%height2"),
    command<imageRectOverlap>("%ImageRectOverlap%image%x%y%rect_x%rect_y%rect_width%rect_height"),
    command<imageRectCollide>(
        "%ImageRectCollide%image%x%y%frame%rect_x%rect_y%rect_width%rect_height"),
    command<write>("Write$string"),
    command<print>("Print$string=\"\""),
    command<input>("$Input$prompt=\"\""),
    command<locate>("Locate%x%y"),
    command<showPointer>("ShowPointer"),
    command<hidePointer>("HidePointer"),
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
