// The graphics commands, by family. Buffers are handles (0 names none, or the current buffer
// where a command says so); colours are ARGB. Commands that read the module's state take it as
// their first parameter; the command adapter passes it.
//
// With the debug flag set, a buffer handle that names no canvas is the error "Buffer does not
// exist", and driver and mode indices out of range are "Illegal graphics driver index" and
// "Illegal graphics mode index". With it clear such calls do nothing and answer 0 or "".
#pragma once

#include <cstdint>

#include "graphics_state.h"
#include "handle.h"
#include "tx_string.h"

namespace tx {

// ---- Drivers, modes and the display (graphics_commands.cpp)
int32_t countGfxDrivers(GraphicsState& state);
Str gfxDriverName(GraphicsState& state, int32_t driver);  // 1-based
void setGfxDriver(GraphicsState& state, int32_t driver);  // 1-based; empties the mode list
// Reads the selected driver's modes into the mode list.
int32_t countGfxModes(GraphicsState& state);
int32_t gfxModeExists(GraphicsState& state, int32_t width, int32_t height, int32_t depth);
int32_t gfxModeWidth(GraphicsState& state, int32_t mode);  // 1-based index into the mode list
int32_t gfxModeHeight(GraphicsState& state, int32_t mode);
int32_t gfxModeDepth(GraphicsState& state, int32_t mode);
int32_t availVidMem(GraphicsState& state);
int32_t totalVidMem(GraphicsState& state);
// mode 0: windowed with the debug flag set, else full screen; 1 full screen; 2 windowed;
// 3 windowed and scaled. Others are the error "Illegal Graphics mode"; a mode that cannot be
// set is the error "Unable to set graphics mode".
void graphics(GraphicsState& state, int32_t width, int32_t height, int32_t depth, int32_t mode);
void endGraphics(GraphicsState& state);
int32_t scanLine(GraphicsState& state);
void vWait(GraphicsState& state, int32_t frames);  // one vertical blank, whatever frames is
void flip(GraphicsState& state, int32_t vwait);
int32_t graphicsWidth(GraphicsState& state);
int32_t graphicsHeight(GraphicsState& state);
int32_t graphicsDepth(GraphicsState& state);

// ---- Buffers (buffer_commands.cpp)
uint32_t frontBuffer(GraphicsState& state);
uint32_t backBuffer(GraphicsState& state);
void setBuffer(GraphicsState& state, BufferHandle buffer);
uint32_t graphicsBuffer(GraphicsState& state);
// A picture file stretched over the whole buffer; 1 on success, 0 (buffer unchanged) when the
// file cannot be loaded.
int32_t loadBuffer(BufferHandle buffer, StrArg file);
// The whole buffer as a 24-bit BMP file; 1 on success, 0 when it cannot be written.
int32_t saveBuffer(BufferHandle buffer, StrArg file);
void lockBuffer(BufferOrCurrent buffer);
void unlockBuffer(BufferOrCurrent buffer);

// ---- Pixels and block copies (pixel_commands.cpp); a buffer of 0 is the current buffer
int32_t readPixel(int32_t x, int32_t y, BufferOrCurrent buffer);
void writePixel(int32_t x, int32_t y, int32_t argb, BufferOrCurrent buffer);
int32_t readPixelFast(int32_t x, int32_t y, FastBuffer buffer);
void writePixelFast(int32_t x, int32_t y, int32_t argb, FastBuffer buffer);
void copyPixel(int32_t srcX, int32_t srcY, FastBuffer srcBuffer, int32_t destX, int32_t destY,
               FastBuffer destBuffer);
void copyPixelFast(int32_t srcX, int32_t srcY, FastBuffer srcBuffer, int32_t destX, int32_t destY,
                   FastBuffer destBuffer);
void copyRect(int32_t srcX, int32_t srcY, int32_t width, int32_t height, int32_t destX,
              int32_t destY, BufferOrCurrent srcBuffer, BufferOrCurrent destBuffer);

// ---- Drawing state and shapes on the current buffer (draw_commands.cpp)
void origin(int32_t x, int32_t y);
void viewport(int32_t x, int32_t y, int32_t width, int32_t height);
void color(int32_t red, int32_t green, int32_t blue);  // components not masked
void getColor(int32_t x, int32_t y);
int32_t colorRed();
int32_t colorGreen();
int32_t colorBlue();
void clsColor(int32_t red, int32_t green, int32_t blue);
void cls();
void plot(int32_t x, int32_t y);
void rect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t solid);
void oval(int32_t x, int32_t y, int32_t width, int32_t height, int32_t solid);
void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// ---- Fonts and text (font_commands.cpp). With the debug flag set a dead font handle is "Font
// does not exist"; without it FreeFont and SetFont do nothing with it. Measures use the current
// font.
// The new font's handle (it is not selected), or 0 when the face or file cannot be had.
uint32_t loadFont(GraphicsState& state, StrArg name, int32_t height, int32_t bold, int32_t italic,
                  int32_t underline);
// Freeing the current font makes the display's default font current.
void freeFont(GraphicsState& state, FontHandle font);
int32_t fontWidth(GraphicsState& state);  // the widest character
int32_t fontHeight(GraphicsState& state);
int32_t stringWidth(GraphicsState& state, StrArg text);
int32_t stringHeight(GraphicsState& state, StrArg text);  // the font's height, whatever the text
void setFont(GraphicsState& state, FontHandle font);
// centreX: x is the middle of the string; centreY: y is the middle of the line.
void text(GraphicsState& state, int32_t x, int32_t y, StrArg text, int32_t centreX,
          int32_t centreY);

// ---- Images (image_commands.cpp). With the debug flag set a dead image is "Image does not
// exist" and a frame out of range "Image frame out of range"; without it such calls do nothing.
// A file that cannot be loaded answers 0 without an error.
uint32_t loadImage(GraphicsState& state, StrArg file);
// Always errors: count < 1 "Illegal frame count", first < 0 "Illegal first frame", too few
// whole cells "Not enough frames in bitmap"; a cell size of 0 is the integer-division error.
uint32_t loadAnimImage(GraphicsState& state, StrArg file, int32_t cellWidth, int32_t cellHeight,
                       int32_t first, int32_t count);
uint32_t createImage(GraphicsState& state, int32_t width, int32_t height,
                     int32_t frames);  // 0 when frames < 1
uint32_t copyImage(GraphicsState& state, ImageHandle image);
void freeImage(GraphicsState& state, uint32_t image);  // never an error
int32_t saveImage(ImageHandle image, StrArg file, int32_t frame);
void grabImage(ImageHandle image, int32_t x, int32_t y, int32_t frame);
uint32_t imageBuffer(ImageHandle image, int32_t frame);
void maskImage(ImageHandle image, int32_t red, int32_t green, int32_t blue);
void handleImage(ImageHandle image, int32_t x, int32_t y);
void midHandle(ImageHandle image);
void autoMidHandle(GraphicsState& state, int32_t enable);
int32_t imageWidth(ImageHandle image);
int32_t imageHeight(ImageHandle image);
int32_t imageXHandle(ImageHandle image);
int32_t imageYHandle(ImageHandle image);

// ---- Drawing images into the current buffer (image_draw_commands.cpp)
void drawImage(ImageHandle image, int32_t x, int32_t y, int32_t frame);
void drawBlock(ImageHandle image, int32_t x, int32_t y, int32_t frame);
void tileImage(ImageHandle image, int32_t x, int32_t y, int32_t frame);
void tileBlock(ImageHandle image, int32_t x, int32_t y, int32_t frame);
void drawImageRect(ImageHandle image, int32_t x, int32_t y, int32_t rectX, int32_t rectY,
                   int32_t rectWidth, int32_t rectHeight, int32_t frame);
void drawBlockRect(ImageHandle image, int32_t x, int32_t y, int32_t rectX, int32_t rectY,
                   int32_t rectWidth, int32_t rectHeight, int32_t frame);

// ---- Transforms (image_transform_commands.cpp). A singular matrix, or a result that would be
// empty or larger than a canvas, leaves the image as it is.
void scaleImage(GraphicsState& state, ImageHandle image, float xScale, float yScale);
void resizeImage(GraphicsState& state, ImageHandle image, float width, float height);
void rotateImage(GraphicsState& state, ImageHandle image, float angle);
void tFormImage(GraphicsState& state, ImageHandle image, float a, float b, float c, float d);
void tFormFilter(GraphicsState& state, int32_t enable);

// ---- Collision tests (collision_commands.cpp): 1 for yes, 0 for no
int32_t imagesOverlap(ImageHandle image1, int32_t x1, int32_t y1, DeferredHandle<Image> image2,
                      int32_t x2, int32_t y2);
int32_t imagesCollide(ImageHandle image1, int32_t x1, int32_t y1, int32_t frame1,
                      DeferredHandle<Image> image2, int32_t x2, int32_t y2, int32_t frame2);
int32_t rectsOverlap(int32_t x1, int32_t y1, int32_t width1, int32_t height1, int32_t x2,
                     int32_t y2, int32_t width2, int32_t height2);
int32_t imageRectOverlap(ImageHandle image, int32_t x, int32_t y, int32_t rectX, int32_t rectY,
                         int32_t rectWidth, int32_t rectHeight);
int32_t imageRectCollide(ImageHandle image, int32_t x, int32_t y, int32_t frame, int32_t rectX,
                         int32_t rectY, int32_t rectWidth, int32_t rectHeight);

// ---- The text console and the pointer (console_commands.cpp)
void write(GraphicsState& state, StrArg text);
void print(GraphicsState& state, StrArg text);
Str input(GraphicsState& state, StrArg prompt);
void locate(GraphicsState& state, int32_t x, int32_t y);
void showPointer(GraphicsState& state);
void hidePointer(GraphicsState& state);

}  // namespace tx
