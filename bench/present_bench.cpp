// Presentation: one flip of a 640 x 480 picture that changed since the last one, under SDL's
// offscreen driver unless SDL_VIDEODRIVER names another.
//
//   BM_PresentFlip/depth: the display alone: upload of the front buffer (widened from 16 or
//     24 bits where needed) and present, 1:1 in a fixed window.
//   BM_SdlFlip/depth: the same picture through SDL2's own streaming-texture path
//     (SDL_UpdateTexture, SDL_RenderCopy, SDL_RenderPresent) on a software renderer.
//   BM_GraphicsFlip/depth: the Flip command in a full-screen mode: the pages' exchange, the
//     upload and the present scaled to the desktop.
//   BM_VsyncFlip: Flip 1 in a window, which waits for the display's next frame: the mean frame
//     time against the refresh period, and the share of it the process spent on the CPU (a
//     paced flip sleeps rather than spins).
//   BM_StartupWindow: what every program pays for the graphics module: opening the 400 x 300
//     window and painting it once, then closing it, against BM_RuntimeAlone.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics_commands.h"
#include "graphics_state.h"
#include "host_runtime.h"
#include "tx_error.h"

namespace tx {
namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

class BenchFrame final : public FrameSource {
public:
    explicit BenchFrame(int32_t depth)
        : depth_(depth), pitch_(kWidth * depth / 8), bytes_(static_cast<size_t>(pitch_) * kHeight) {
        for (size_t i = 0; i < bytes_.size(); ++i) bytes_[i] = static_cast<uint8_t>(i * 131 >> 3);
    }
    FramePixels pixels() const override { return {bytes_.data(), pitch_, kWidth, kHeight, depth_}; }
    uint32_t presentStamp() const override { return stamp; }
    uint32_t stamp = 0;

private:
    int32_t depth_;
    ptrdiff_t pitch_;
    std::vector<uint8_t> bytes_;
};

std::unique_ptr<HostRuntime> openHeadless() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    return HostRuntime::open("", nullptr, 0);
}

// A headless runtime with the graphics module open; the module closes before the runtime goes.
class HeadlessGraphics {
public:
    HeadlessGraphics() : runtime_(openHeadless()) {
        open_ = runtime_ != nullptr && openGraphicsModule(*runtime_);
    }
    ~HeadlessGraphics() {
        if (open_) closeGraphicsModule();
    }
    HeadlessGraphics(const HeadlessGraphics&) = delete;
    HeadlessGraphics& operator=(const HeadlessGraphics&) = delete;

    // The module's state, or null when there is no display.
    GraphicsState* module() const { return open_ ? graphicsState() : nullptr; }
    // The module in a 640 x 480 graphics mode, or null once the benchmark is skipped for want
    // of a display or of the mode.
    GraphicsState* inMode(benchmark::State& state, int32_t depth, int32_t mode) const {
        if (!open_) {
            state.SkipWithError("no display");
            return nullptr;
        }
        try {
            graphics(*graphicsState(), kWidth, kHeight, depth, mode);
        } catch (const TxEx&) {
            state.SkipWithError("no such mode");
            return nullptr;
        }
        return graphicsState();
    }
    HostRuntime& runtime() const { return *runtime_; }

private:
    std::unique_ptr<HostRuntime> runtime_;
    bool open_ = false;
};

void BM_PresentFlip(benchmark::State& state) {
    auto runtime = openHeadless();
    if (runtime == nullptr ||
        !runtime->display().openGraphics(kWidth, kHeight, 0, 0, Display::kWindowed)) {
        state.SkipWithError("no display");
        return;
    }
    BenchFrame frame(static_cast<int32_t>(state.range(0)));
    runtime->display().showFrames(&frame, &frame);
    runtime->idle();
    for (auto _ : state) {
        ++frame.stamp;  // drawn: the flip presents
        runtime->display().flip(false);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight *
                            state.range(0) / 8);
}
BENCHMARK(BM_PresentFlip)->Arg(32)->Arg(16)->Arg(24)->Unit(benchmark::kMicrosecond);

template <auto Destroy>
struct SdlDeleter {
    template <typename T>
    void operator()(T* object) const {
        Destroy(object);
    }
};

void BM_SdlFlip(benchmark::State& state) {
    auto runtime = openHeadless();  // SDL's video subsystem, as the runtime sets it up
    const auto depth = static_cast<int32_t>(state.range(0));
    const uint32_t format = depth == 32   ? SDL_PIXELFORMAT_ARGB8888
                            : depth == 24 ? SDL_PIXELFORMAT_RGB24
                                          : SDL_PIXELFORMAT_RGB565;
    std::unique_ptr<SDL_Window, SdlDeleter<SDL_DestroyWindow>> window(
        runtime == nullptr ? nullptr
                           : SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_HIDDEN));
    std::unique_ptr<SDL_Renderer, SdlDeleter<SDL_DestroyRenderer>> renderer(
        window == nullptr ? nullptr : SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    std::unique_ptr<SDL_Texture, SdlDeleter<SDL_DestroyTexture>> texture(
        renderer == nullptr ? nullptr
                            : SDL_CreateTexture(renderer.get(), format, SDL_TEXTUREACCESS_STREAMING,
                                                kWidth, kHeight));
    if (texture == nullptr) {
        state.SkipWithError("no display");
        return;
    }
    const BenchFrame frame(depth);
    const FramePixels pixels = frame.pixels();
    for (auto _ : state) {
        SDL_UpdateTexture(texture.get(), nullptr, pixels.pixels, static_cast<int>(pixels.pitch));
        SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr);
        SDL_RenderPresent(renderer.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * depth /
                            8);
}
BENCHMARK(BM_SdlFlip)->Arg(32)->Arg(16)->Arg(24)->Unit(benchmark::kMicrosecond);

void BM_GraphicsFlip(benchmark::State& state) {
    const HeadlessGraphics display;
    GraphicsState* module = display.inMode(state, static_cast<int32_t>(state.range(0)), 1);
    if (module == nullptr) return;
    for (auto _ : state) flip(*module, 0);  // the exchanged pages count as drawn
}
BENCHMARK(BM_GraphicsFlip)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);

// The refresh rate of the first display as the runtime takes it (60 when SDL reports none).
int displayRefreshRate() {
    SDL_DisplayMode mode{};
    return SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate
                                                                             : 60;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_VsyncFlip(benchmark::State& state) {
    const HeadlessGraphics display;
    GraphicsState* module = display.inMode(state, 32, 2);
    if (module == nullptr) return;
    flip(*module, 1);  // the first frame starts the display's clock
    const double cpuStart = cpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    for (auto _ : state) flip(*module, 1);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    state.counters["cpu_share"] = (cpuSeconds() - cpuStart) / wall;
    state.counters["refresh_ms"] = 1000.0 / displayRefreshRate();  // while the video is up
}
BENCHMARK(BM_VsyncFlip)->Unit(benchmark::kMillisecond)->Iterations(120)->UseRealTime();

void BM_RuntimeAlone(benchmark::State& state) {
    for (auto _ : state) {
        auto runtime = openHeadless();
        if (runtime == nullptr || !runtime->idle()) state.SkipWithError("no runtime");
    }
}
BENCHMARK(BM_RuntimeAlone)->Unit(benchmark::kMicrosecond);

void BM_StartupWindow(benchmark::State& state) {
    for (auto _ : state) {
        const HeadlessGraphics display;
        if (display.module() == nullptr || !display.runtime().idle())
            state.SkipWithError("no display");
    }
}
BENCHMARK(BM_StartupWindow)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tx
