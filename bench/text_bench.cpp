// Text, beside its yardstick in the same run:
//   BM_TextCommand/depth: the Text command drawing a 40-character string into a 640 x 480 back
//     buffer in a font 11 pixels to the em (LoadFont with height -11 of Liberation Mono), in
//     strings per second; BM_SdlTtfRenderSolid/depth: SDL_ttf's TTF_RenderText_Solid of the
//     same string, face and size, then SDL_BlitSurface onto a screen surface of the same
//     format and SDL_FreeSurface.
//   BM_LoadFont12: LoadFont of the 12-pixel default face and FreeFont (target: under 5 ms).
//   build/bench/tervex_bench --benchmark_filter='Text|Ttf|LoadFont'
#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <memory>
#include <string_view>

#include "graphics_bench.h"
#include "graphics_commands.h"
#include "graphics_state.h"
#include "host_runtime.h"
#include "string_pool.h"

namespace tx {
namespace {

constexpr int32_t kScreenW = GraphicsBench::kScreenW, kScreenH = GraphicsBench::kScreenH;
constexpr int kEm = 11;
constexpr const char* kFaceFile = "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf";
constexpr std::string_view kLine = "The quick brown fox jumps over a lazy do";  // 40 characters

// The graphics setting with the benchmark's font current.
class TextBench {
public:
    explicit TextBench(int32_t depth) : graphics_(depth) {
        if (!graphics_.ready()) return;
        GraphicsState& module = *graphicsState();
        const uint32_t font = loadFont(module, StrArg(strNew(kFaceFile).handle), -kEm, 0, 0, 0);
        if (font == 0) return;
        setFont(module, font);
        ready_ = true;
    }
    bool ready() const { return ready_; }

private:
    GraphicsBench graphics_;
    bool ready_ = false;
};

void BM_TextCommand(benchmark::State& bench) {
    TextBench setup(static_cast<int32_t>(bench.range(0)));
    if (!setup.ready()) return bench.SkipWithError("no display or font");
    GraphicsState& module = *graphicsState();
    int32_t y = 0;
    for (auto _ : bench) {
        text(module, 10, y, StrArg(strNew(kLine).handle), 0, 0);
        y = (y + 13) % (kScreenH - 16);
    }
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_TextCommand)->Arg(32)->Arg(16);

void BM_SdlTtfRenderSolid(benchmark::State& bench) {
    if (TTF_Init() != 0) return bench.SkipWithError("no SDL_ttf");
    TTF_Font* font = TTF_OpenFont(kFaceFile, kEm);
    const Uint32 format = bench.range(0) == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, kScreenW, kScreenH,
                                                         static_cast<int>(bench.range(0)), format);
    if (font == nullptr || screen == nullptr) {
        bench.SkipWithError("no font or surface");
    } else {
        const std::string line(kLine);
        int y = 0;
        for (auto _ : bench) {
            SDL_Surface* rendered = TTF_RenderText_Solid(font, line.c_str(), {255, 255, 255, 255});
            SDL_Rect at{10, y, 0, 0};
            SDL_BlitSurface(rendered, nullptr, screen, &at);
            SDL_FreeSurface(rendered);
            y = (y + 13) % (kScreenH - 16);
        }
        bench.SetItemsProcessed(bench.iterations());
    }
    if (screen != nullptr) SDL_FreeSurface(screen);
    if (font != nullptr) TTF_CloseFont(font);
    TTF_Quit();
}
BENCHMARK(BM_SdlTtfRenderSolid)->Arg(32)->Arg(16);

void BM_LoadFont12(benchmark::State& bench) {
    TextBench setup(32);
    if (!setup.ready()) return bench.SkipWithError("no display or font");
    GraphicsState& module = *graphicsState();
    for (auto _ : bench) {
        const uint32_t font = loadFont(module, StrArg(strNew("courier").handle), 12, 0, 0, 0);
        if (font == 0) return bench.SkipWithError("courier did not load");
        freeFont(module, font);
    }
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_LoadFont12)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
