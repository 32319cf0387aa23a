// Helpers for canvas tests: canvases of a format, pictures as text, and a zoomed PPM dump for
// looking at a canvas while writing a test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "host_canvas.h"
#include "pixel_format.h"

namespace tx::test {

inline std::unique_ptr<HostCanvas> makeCanvas(int32_t width, int32_t height,
                                              const PixelFormat& format = PixelFormat::xrgb8888()) {
    auto canvas = HostCanvas::create(width, height, format);
    EXPECT_NE(canvas, nullptr);
    return canvas;
}

// The canvas as rows of text: '.' where the pixel is black (surface value 0), '#' elsewhere,
// one line per row.
inline std::string art(const HostCanvas& canvas) {
    std::string out;
    for (int32_t y = 0; y < canvas.getHeight(); ++y) {
        for (int32_t x = 0; x < canvas.getWidth(); ++x)
            out += canvas.format().loadValue(canvas.pixelAddress(x, y)) != 0 ? '#' : '.';
        out += '\n';
    }
    return out;
}

// Joins picture rows given one per string literal.
template <typename... Rows>
std::string rows(const Rows&... r) {
    return ((std::string(r) + '\n') + ...);
}

// The canvas scaled up `zoom` times as a binary PPM (for eyeballing a test picture).
inline bool writePpm(const HostCanvas& canvas, const std::string& path, int zoom = 8) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const int w = canvas.getWidth() * zoom, h = canvas.getHeight() * zoom;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int px = x / zoom, py = y / zoom;
            uint32_t argb = canvas.getPixelFast(px, py);
            // Grid lines between pixels.
            if (zoom >= 4 && (x % zoom == 0 || y % zoom == 0)) argb = 0x404040;
            const unsigned char rgb[3] = {static_cast<unsigned char>(argb >> 16),
                                          static_cast<unsigned char>(argb >> 8),
                                          static_cast<unsigned char>(argb)};
            std::fwrite(rgb, 1, 3, f);
        }
    }
    return std::fclose(f) == 0;
}

}  // namespace tx::test
