// Frames in host memory for the display tests, the window's renderer read back, and a runtime
// on SDL (offscreen) to show them in.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "display_frame.h"
#include "host_runtime.h"
#include "recording_debugger.h"
#include "sdl_test_events.h"
#include "sdl_video.h"
#include "video_device.h"

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
    // 4 x 2 blocks of colours, so that a scaled picture can be checked block by block.
    static uint32_t block(int bx, int by) {
        return 0x102030u * static_cast<uint32_t>(bx + 1) + 0x400000u * static_cast<uint32_t>(by);
    }
    void fillBlocks() {
        for (int32_t y = 0; y < height_; ++y)
            for (int32_t x = 0; x < width_; ++x) put(x, y, block(x * 4 / width_, y * 2 / height_));
    }

    uint32_t stamp = 0;

private:
    int32_t width_;
    int32_t height_;
    int32_t depth_;
    ptrdiff_t pitch_;
    std::vector<uint8_t> bytes_;
};

// The renderer's output as 0x00RRGGBB words, row by row (see windowPixels).
struct Screen {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Each block of TestFrame::fillBlocks shows in the middle of its place in r, r's corners hold the
// corner blocks, and black lies beside and above r.
inline void expectBlocksIn(const Screen& shown, PixelRect r) {
    for (int by = 0; by < 2; ++by) {
        for (int bx = 0; bx < 4; ++bx) {
            const int x = r.x + r.w * (2 * bx + 1) / 8, y = r.y + r.h * (2 * by + 1) / 4;
            EXPECT_EQ(shown.at(x, y), TestFrame::block(bx, by)) << x << "," << y;
        }
    }
    EXPECT_EQ(shown.at(r.x, r.y), TestFrame::block(0, 0));
    EXPECT_EQ(shown.at(r.x + r.w - 1, r.y + r.h - 1), TestFrame::block(3, 1));
    const auto black = [&](int x, int y) { EXPECT_EQ(shown.at(x, y), 0u) << x << "," << y; };
    if (r.x > 0) black(r.x - 1, r.y + r.h / 2);
    if (r.y > 0) black(r.x + r.w / 2, r.y - 1);
    if (r.x + r.w < shown.width) black(r.x + r.w, r.y + r.h / 2);
}

// Covers the output with one colour behind the runtime's back, so a test can see whether the
// runtime presents again.
inline void paintOver(SDL_Renderer* renderer, uint8_t r, uint8_t g, uint8_t b) {
    SDL_SetRenderDrawColor(renderer, r, g, b, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
}

// A runtime on SDL (offscreen) with a debugger that records stops and runs.
class SdlDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = HostRuntime::open("", &debugger, 0);
        ASSERT_NE(runtime, nullptr);
    }

    Display& display() { return runtime->display(); }
    SDL_Window* window() { return static_cast<SdlVideo&>(runtime->video()).window(); }
    SDL_Renderer* renderer() { return static_cast<SdlVideo&>(runtime->video()).renderer(); }
    Screen screen() {
        Screen shown;
        shown.pixels = windowPixels(shown.width, shown.height);
        return shown;
    }
    std::pair<int, int> windowSize() {
        int w = 0, h = 0;
        SDL_GetWindowSize(window(), &w, &h);
        return {w, h};
    }
    bool windowFlag(uint32_t flag) { return (SDL_GetWindowFlags(window()) & flag) == flag; }
    // Opens a mode and presents a frame of blocks (TestFrame::fillBlocks) in it.
    void showBlocks(int32_t width, int32_t height, uint32_t flags) {
        ASSERT_TRUE(display().openGraphics(width, height, 32, 0, flags));
        blocks = std::make_unique<TestFrame>(width, height, 32);
        blocks->fillBlocks();
        display().showFrames(blocks.get(), blocks.get());
        ASSERT_TRUE(runtime->idle());
    }
    bool pushWindowEvent(uint8_t what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = SDL_GetWindowID(window());
        event.window.event = what;
        return SDL_PushEvent(&event) == 1;
    }

    RecordingDebugger debugger;
    std::unique_ptr<HostRuntime> runtime;
    std::unique_ptr<TestFrame> blocks;
};

}  // namespace tx::test
