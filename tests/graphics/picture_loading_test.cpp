// Loading pictures: one picture written by FreeImage's own writer as PNG, BMP (8, 24, 32 bits),
// TGA, JPEG and GIF loads to the same pixels, upright and opaque, in 16-, 24- and 32-bit
// displays; cut short, it loads as 0 without an error. A format without a signature is known by
// the text after the name's first '.'; a pipe is never waited on.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics_fixture.h"
#include "test_files.h"

namespace tx {
namespace {

constexpr int32_t kWidth = 70, kHeight = 40;  // 70 x 3 bytes: BMP and TGA rows are padded

// 16 x 16 blocks of eight colours, no two rows of blocks alike, so a picture upside down or
// mirrored differs everywhere; blocks line up with JPEG's colour blocks.
constexpr uint32_t kColours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                 0x00FFFF, 0xFF00FF, 0xFFFFFF, 0x804020};
int blockIndex(int x, int y) {
    return (x / 16 + 3 * (y / 16)) % 8;
}

struct Format {
    const char* name;
    FREE_IMAGE_FORMAT format;
    int bits;  // 8: the eight colours as a palette
    int flags;
};
constexpr Format kFormats[] = {
    {"png", FIF_PNG, 24, 0},
    {"alpha.png", FIF_PNG, 32, 0},
    {"8.bmp", FIF_BMP, 8, 0},
    {"24.bmp", FIF_BMP, 24, 0},
    {"32.bmp", FIF_BMP, 32, 0},
    {"tga", FIF_TARGA, 24, 0},
    {"jpg", FIF_JPEG, 24, JPEG_QUALITYSUPERB},
    {"gif", FIF_GIF, 8, 0},
};

// The block picture in the format, rows top first (FreeImage keeps them bottom-up), half
// transparent where the format keeps alpha. FreeImage's pixels and palette entries are
// little-endian 0xAARRGGBB words.
std::string writePicture(const std::string& path, const Format& f) {
    const std::unique_ptr<FIBITMAP, decltype(&FreeImage_Unload)> bitmap(
        FreeImage_Allocate(kWidth, kHeight, f.bits), &FreeImage_Unload);
    if (f.bits == 8) std::memcpy(FreeImage_GetPalette(bitmap.get()), kColours, sizeof kColours);
    for (int y = 0; y < kHeight; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap.get(), kHeight - 1 - y);
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t argb = 0x80000000u | kColours[blockIndex(x, y)];
            if (f.bits == 8)
                row[x] = static_cast<BYTE>(blockIndex(x, y));
            else
                std::memcpy(row + x * f.bits / 8, &argb, f.bits / 8);
        }
    }
    EXPECT_TRUE(FreeImage_Save(f.format, bitmap.get(), path.c_str(), f.flags)) << path;
    return path;
}

class PictureLoading : public test::GraphicsTest {
protected:
    // The frame's pixel as ARGB.
    static uint32_t pixel(uint32_t image, int32_t x, int32_t y) {
        return static_cast<uint32_t>(readPixel(x, y, imageBuffer(image, 0)));
    }
    test::TempDir dir;
};

TEST_F(PictureLoading, EveryFormatLoadsWholeInEveryDisplayDepthAndNotWhenCutShort) {
    for (const int32_t depth : {16, 24, 32}) {
        graphics(state(), 640, 480, depth, 1);
        const PixelFormat& format = state().graphics->format();
        for (const Format& f : kFormats) {
            SCOPED_TRACE(std::string(f.name) + " in a " + std::to_string(depth) + "-bit display");
            const std::string path = writePicture(dir.file(std::string("picture.") + f.name), f);
            const uint32_t image = loadImage(state(), arg(path));
            ASSERT_EQ(imageWidth(image), kWidth);
            ASSERT_EQ(imageHeight(image), kHeight);
            EXPECT_EQ(state().images.find(image)->frames[0].canvas->getMask(),
                      format.toARGB(format.fromARGB(0)))
                << "mask colour black";
            int wrong = 0;
            for (int32_t y = 0; y < kHeight; ++y) {
                for (int32_t x = 0; x < kWidth; ++x) {
                    const uint32_t want =
                        format.toARGB(format.fromARGB(0xFF000000u | kColours[blockIndex(x, y)]));
                    const uint32_t got = pixel(image, x, y);
                    if (f.format != FIF_JPEG) {
                        wrong += got != want;
                    } else if (x % 16 >= 2 && x % 16 < 14 && y % 16 >= 2 && y % 16 < 14) {
                        // Lossy: away from block edges, within a few steps per channel.
                        wrong += got >> 24 != 0xFF;
                        for (int shift : {0, 8, 16})
                            wrong += std::abs(static_cast<int>(got >> shift & 0xFF) -
                                              static_cast<int>(want >> shift & 0xFF)) > 12;
                    }
                }
            }
            EXPECT_EQ(wrong, 0);
            freeImage(state(), image);
            if (depth != 32) continue;
            const std::vector<uint8_t> whole = test::fileBytes(path);
            for (const size_t keep :
                 {whole.size() * 3 / 4, whole.size() / 2, size_t{40}, size_t{0}}) {
                test::putFile(path, {whole.begin(), whole.begin() + static_cast<ptrdiff_t>(keep)});
                EXPECT_EQ(errorOf([&] { EXPECT_EQ(loadImage(state(), arg(path)), 0u) << keep; }),
                          "");
                EXPECT_EQ(loadAnimImage(state(), arg(path), 8, 8, 0, 1), 0u) << keep;
            }
        }
    }
    EXPECT_EQ(state().graphics->canvasCount(), 0u) << "nothing left behind";
}

TEST_F(PictureLoading, AFormatWithoutASignatureIsKnownByItsNameAndAPipeLoadsAsZero) {
    // A wireless bitmap, 16 x 8: one white pixel at the top left.
    std::vector<uint8_t> wbmp = {0, 0, 16, 8, 0x80};
    wbmp.resize(4 + 2 * 8);
    test::putFile(dir.file("w.old.WBMP"), wbmp);
    const uint32_t image = loadImage(state(), arg(dir.file("w.old.WBMP")));
    ASSERT_NE(image, 0u);
    EXPECT_EQ(pixel(image, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(image, 0, 7), 0xFF000000u) << "upright";
    ASSERT_EQ(::mkfifo(dir.file("pipe.png").c_str(), 0600), 0);
    EXPECT_EQ(loadImage(state(), arg(dir.file("pipe.png"))), 0u);
}

}  // namespace
}  // namespace tx
