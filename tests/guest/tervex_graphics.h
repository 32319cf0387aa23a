/* Guest declarations of the graphics commands and routines; see tervex.h. */
#ifndef TERVEX_GRAPHICS_H
#define TERVEX_GRAPHICS_H

/* ---- drivers, modes and the display ---- */

int CountGfxDrivers(void) __asm__("_fcountgfxdrivers");
txstr GfxDriverName(int driver) __asm__("_fgfxdrivername");
void SetGfxDriver(int driver) __asm__("_fsetgfxdriver");
int CountGfxModes(void) __asm__("_fcountgfxmodes");
int GfxModeExists(int width, int height, int depth) __asm__("_fgfxmodeexists");
int GfxModeWidth(int mode) __asm__("_fgfxmodewidth");
int GfxModeHeight(int mode) __asm__("_fgfxmodeheight");
int GfxModeDepth(int mode) __asm__("_fgfxmodedepth");
int AvailVidMem(void) __asm__("_favailvidmem");
int TotalVidMem(void) __asm__("_ftotalvidmem");
void Graphics(int width, int height, int depth, int mode) __asm__("_fgraphics");
void EndGraphics(void) __asm__("_fendgraphics");
int FrontBuffer(void) __asm__("_ffrontbuffer");
int BackBuffer(void) __asm__("_fbackbuffer");
int ScanLine(void) __asm__("_fscanline");
void VWait(int frames) __asm__("_fvwait");
void Flip(int vwait) __asm__("_fflip");
int GraphicsWidth(void) __asm__("_fgraphicswidth");
int GraphicsHeight(void) __asm__("_fgraphicsheight");
int GraphicsDepth(void) __asm__("_fgraphicsdepth");

/* ---- buffers ---- */

void SetBuffer(int buffer) __asm__("_fsetbuffer");
int GraphicsBuffer(void) __asm__("_fgraphicsbuffer");
int SaveBuffer(int buffer, txstr bmpfile) __asm__("_fsavebuffer");
void LockBuffer(int buffer) __asm__("_flockbuffer");
void UnlockBuffer(int buffer) __asm__("_funlockbuffer");

/* ---- pixels ---- */

int ReadPixel(int x, int y, int buffer) __asm__("_freadpixel");
void WritePixel(int x, int y, int argb, int buffer) __asm__("_fwritepixel");
int ReadPixelFast(int x, int y, int buffer) __asm__("_freadpixelfast");
void WritePixelFast(int x, int y, int argb, int buffer) __asm__("_fwritepixelfast");
void CopyPixel(int src_x, int src_y, int src_buffer, int dest_x, int dest_y,
               int dest_buffer) __asm__("_fcopypixel");
void CopyPixelFast(int src_x, int src_y, int src_buffer, int dest_x, int dest_y,
                   int dest_buffer) __asm__("_fcopypixelfast");

/* ---- drawing ---- */

void Origin(int x, int y) __asm__("_forigin");
void Viewport(int x, int y, int width, int height) __asm__("_fviewport");
void Color(int red, int green, int blue) __asm__("_fcolor");
void GetColor(int x, int y) __asm__("_fgetcolor");
int ColorRed(void) __asm__("_fcolorred");
int ColorGreen(void) __asm__("_fcolorgreen");
int ColorBlue(void) __asm__("_fcolorblue");
void ClsColor(int red, int green, int blue) __asm__("_fclscolor");
void Cls(void) __asm__("_fcls");
void Plot(int x, int y) __asm__("_fplot");
void Rect(int x, int y, int width, int height, int solid) __asm__("_frect");
void Oval(int x, int y, int width, int height, int solid) __asm__("_foval");
void Line(int x1, int y1, int x2, int y2) __asm__("_fline");
void CopyRect(int source_x, int source_y, int width, int height, int dest_x, int dest_y,
              int src_buffer, int dest_buffer) __asm__("_fcopyrect");

#endif
