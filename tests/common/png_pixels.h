// A PNG file's pixels as tests compare them (read with FreeImage, which the test must link).
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tx::test {

struct PngPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top first; empty when unreadable
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline PngPicture loadPng(const std::string& path) {
    PngPicture picture;
    FIBITMAP* bitmap = FreeImage_Load(FIF_PNG, path.c_str(), 0);
    if (bitmap == nullptr) return picture;
    picture.width = static_cast<int>(FreeImage_GetWidth(bitmap));
    picture.height = static_cast<int>(FreeImage_GetHeight(bitmap));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            RGBQUAD c{};
            FreeImage_GetPixelColor(bitmap, x, picture.height - 1 - y, &c);
            picture.pixels.push_back(uint32_t{c.rgbRed} << 16 | uint32_t{c.rgbGreen} << 8 |
                                     c.rgbBlue);
        }
    }
    FreeImage_Unload(bitmap);
    return picture;
}

}  // namespace tx::test
