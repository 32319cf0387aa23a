// Helpers for canvas tests: canvases of a format and pictures as text.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host_canvas.h"
#include "pixel_format.h"

namespace tx::test {

inline std::unique_ptr<HostCanvas> makeCanvas(int32_t width, int32_t height,
                                              const PixelFormat& format = PixelFormat::xrgb8888()) {
    auto canvas = HostCanvas::create(width, height, format);
    EXPECT_NE(canvas, nullptr);
    return canvas;
}

// The surface values of the canvas, row by row.
inline std::vector<uint32_t> values(const HostCanvas& canvas) {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < canvas.getHeight(); ++y)
        for (int32_t x = 0; x < canvas.getWidth(); ++x)
            out.push_back(canvas.format().loadValue(canvas.pixelAddress(x, y)));
    return out;
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

// A width x height picture of '.', except the rows from `top` on given in `lines` ('/' between
// rows), each padded with '.' to the width.
inline std::string picture(int32_t width, int32_t height, int32_t top,
                           std::string_view lines = "") {
    std::vector<std::string> rows(height, std::string(width, '.'));
    for (size_t from = 0; !lines.empty() && from <= lines.size(); ++top) {
        const size_t end = std::min(lines.find('/', from), lines.size());
        rows.at(top).replace(0, end - from, lines.substr(from, end - from));
        from = end + 1;
    }
    std::string text;
    for (const std::string& row : rows) text += row + '\n';
    return text;
}

}  // namespace tx::test
