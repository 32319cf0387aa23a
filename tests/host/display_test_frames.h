// Frames in host memory for the display tests, and the window's renderer read back.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "display_frame.h"

namespace tx::test {

class TestFrame final : public FrameSource {
public:
    TestFrame(int32_t width, int32_t height, int32_t depth)
        : width_(width), height_(height), depth_(depth), pitch_((width * depth / 8 + 7) & ~7) {
        bytes_.assign(static_cast<size_t>(pitch_) * height, 0);
    }

    FramePixels pixels() const override { return {bytes_.data(), pitch_, width_, height_, depth_}; }
    uint32_t presentStamp() const override { return stamp; }

    // Stores a raw pixel value (the frame's own encoding) without touching the stamp.
    void put(int32_t x, int32_t y, uint32_t value) {
        std::memcpy(bytes_.data() + y * pitch_ + x * (depth_ / 8), &value,
                    static_cast<size_t>(depth_ / 8));
    }
    void fill(uint32_t value) {
        for (int32_t y = 0; y < height_; ++y)
            for (int32_t x = 0; x < width_; ++x) put(x, y, value);
    }
    // A 0x00RRGGBB colour of its own for every pixel of a 32-bit frame.
    static uint32_t pattern(int32_t x, int32_t y) {
        return static_cast<uint32_t>(x * 7 + y * 13) << 16 | static_cast<uint32_t>(x * 3) << 8 |
               static_cast<uint32_t>(y * 5 & 0xFF);
    }
    void fillPattern() {
        for (int32_t y = 0; y < height_; ++y)
            for (int32_t x = 0; x < width_; ++x) put(x, y, pattern(x, y) & 0xFFFFFF);
    }

    uint32_t stamp = 0;

private:
    int32_t width_;
    int32_t height_;
    int32_t depth_;
    ptrdiff_t pitch_;
    std::vector<uint8_t> bytes_;
};

// The renderer's output as 0x00RRGGBB words, row by row.
struct Screen {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline Screen readScreen(SDL_Renderer* renderer) {
    Screen screen;
    EXPECT_NE(renderer, nullptr);
    if (renderer == nullptr) return screen;
    SDL_GetRendererOutputSize(renderer, &screen.width, &screen.height);
    screen.pixels.resize(static_cast<size_t>(screen.width) * screen.height);
    EXPECT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, screen.pixels.data(),
                                   screen.width * 4),
              0)
        << SDL_GetError();
    for (uint32_t& p : screen.pixels) p &= 0xFFFFFF;
    return screen;
}

// Covers the output with one colour behind the runtime's back, so a test can see whether the
// runtime presents again.
inline void paintOver(SDL_Renderer* renderer, uint8_t r, uint8_t g, uint8_t b) {
    SDL_SetRenderDrawColor(renderer, r, g, b, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
}

}  // namespace tx::test
