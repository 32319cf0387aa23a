// Picture files for loading tests, written with FreeImage's own writer: one picture as PNG,
// BMP (8, 24 and 32 bits), TGA, JPEG and GIF. Colours are 0x00RRGGBB; rows are given top
// first.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <memory>
#include <string>

namespace tx::test {

enum class PictureFile { png, pngAlpha, bmp8, bmp24, bmp32, tga, jpeg, gif };

struct PictureFileInfo {
    PictureFile kind;
    const char* name;
    FREE_IMAGE_FORMAT format;
    int bits;  // 8: palettized, at most 256 colours
    int flags;
};

inline constexpr PictureFileInfo kPictureFiles[] = {
    {PictureFile::png, "png", FIF_PNG, 24, 0},
    {PictureFile::pngAlpha, "alpha.png", FIF_PNG, 32, 0},
    {PictureFile::bmp8, "8.bmp", FIF_BMP, 8, 0},
    {PictureFile::bmp24, "24.bmp", FIF_BMP, 24, 0},
    {PictureFile::bmp32, "32.bmp", FIF_BMP, 32, 0},
    {PictureFile::tga, "tga", FIF_TARGA, 24, 0},
    {PictureFile::jpeg, "jpg", FIF_JPEG, 24, JPEG_QUALITYSUPERB},
    {PictureFile::gif, "gif", FIF_GIF, 8, 0},
};

// Writes a width x height picture; colour(x, y) for each pixel (y = 0 is the top row), alpha
// for every pixel of the formats that keep it. False when FreeImage cannot write it.
template <typename Colour>
bool writePicture(const std::string& path, const PictureFileInfo& info, int width, int height,
                  Colour&& colour, uint8_t alpha = 0xFF) {
    struct Unload {
        void operator()(FIBITMAP* b) const { FreeImage_Unload(b); }
    };
    std::unique_ptr<FIBITMAP, Unload> bitmap(FreeImage_Allocate(width, height, info.bits));
    if (bitmap == nullptr) return false;
    if (info.bits == 8) {
        // A palette of the picture's colours, in order of first use.
        RGBQUAD* palette = FreeImage_GetPalette(bitmap.get());
        int used = 0;
        for (int y = 0; y < height; ++y) {
            BYTE* row = FreeImage_GetScanLine(bitmap.get(), height - 1 - y);
            for (int x = 0; x < width; ++x) {
                const uint32_t c = colour(x, y) & 0xFFFFFF;
                int index = 0;
                while (index < used &&
                       (uint32_t{palette[index].rgbRed} << 16 |
                        uint32_t{palette[index].rgbGreen} << 8 | palette[index].rgbBlue) != c)
                    ++index;
                if (index == used) {
                    if (used == 256) return false;
                    palette[used++] = RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8),
                                              static_cast<BYTE>(c >> 16), 0};
                }
                row[x] = static_cast<BYTE>(index);
            }
        }
    } else {
        const int bytes = info.bits / 8;
        for (int y = 0; y < height; ++y) {
            BYTE* row = FreeImage_GetScanLine(bitmap.get(), height - 1 - y);
            for (int x = 0; x < width; ++x) {
                const uint32_t c = colour(x, y);
                BYTE* p = row + x * bytes;
                p[FI_RGBA_BLUE] = static_cast<BYTE>(c);
                p[FI_RGBA_GREEN] = static_cast<BYTE>(c >> 8);
                p[FI_RGBA_RED] = static_cast<BYTE>(c >> 16);
                if (bytes == 4) p[FI_RGBA_ALPHA] = alpha;
            }
        }
    }
    return FreeImage_Save(info.format, bitmap.get(), path.c_str(), info.flags) != FALSE;
}

}  // namespace tx::test
