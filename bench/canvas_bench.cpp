// Canvas drawing against SDL2's software surfaces, side by side on the same pixel format:
// colour-keyed and opaque blits of 32 x 32 and 64 x 64 sprites into a 640 x 480 screen, clearing
// the screen, rectangle fills, lines and ovals. Each pair is named .../tervex and .../sdl; the
// ratio of their items per second is the figure of merit.
//   build/bench/tervex_bench --benchmark_filter=Canvas
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "host_canvas.h"

namespace tx {
namespace {

constexpr int32_t kScreenW = 640, kScreenH = 480;

struct FreeSurface {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, FreeSurface>;

PixelFormat formatOf(int64_t depth) {
    return *PixelFormat::forDepth(static_cast<int32_t>(depth));
}

Uint32 sdlFormatOf(int64_t depth) {
    return depth == 16   ? SDL_PIXELFORMAT_RGB565
           : depth == 24 ? SDL_PIXELFORMAT_BGR24
                         : SDL_PIXELFORMAT_RGB888;
}

// An SDL surface holding the same pixels as a canvas.
Surface surfaceLike(const HostCanvas& c) {
    Surface s(SDL_CreateRGBSurfaceWithFormat(0, c.getWidth(), c.getHeight(), c.getDepth(),
                                             sdlFormatOf(c.getDepth())));
    if (!s) return s;
    const size_t rowBytes = static_cast<size_t>(c.getWidth()) * c.format().bytesPerPixel();
    for (int32_t y = 0; y < c.getHeight(); ++y)
        std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch, c.pixelAddress(0, y),
                    rowBytes);
    return s;
}

// A sprite: a coloured ball on the black mask colour (about a fifth transparent).
std::unique_ptr<HostCanvas> makeSprite(int32_t size, const PixelFormat& format) {
    auto sprite = HostCanvas::create(size, size, format);
    for (int32_t i = 0; i < size; ++i) {
        sprite->setColor(0xFF204080u + static_cast<uint32_t>(i) * 0x030507u);
        sprite->line(0, i, size - 1, size - 1 - i);
    }
    sprite->setColor(0xFFFFFFFF);
    sprite->oval(0, 0, size, size, true);
    sprite->setColor(0);
    sprite->rect(0, 0, size / 6, size, true);
    return sprite;
}

// Sprite positions spread over the screen, all fully inside.
std::array<SDL_Point, 64> positions(int32_t size) {
    std::array<SDL_Point, 64> out;
    uint32_t r = 12345;
    for (SDL_Point& p : out) {
        r = r * 1103515245u + 12345u;
        p.x = static_cast<int>((r >> 8) % static_cast<uint32_t>(kScreenW - size));
        r = r * 1103515245u + 12345u;
        p.y = static_cast<int>((r >> 8) % static_cast<uint32_t>(kScreenH - size));
    }
    return out;
}

// range(0) = depth, range(1) = sprite size.
void blitTervex(benchmark::State& state, bool keyed) {
    const PixelFormat format = formatOf(state.range(0));
    const auto size = static_cast<int32_t>(state.range(1));
    auto screen = HostCanvas::create(kScreenW, kScreenH, format);
    auto sprite = makeSprite(size, format);
    const auto at = positions(size);
    for (auto _ : state) {
        for (const SDL_Point& p : at) screen->blit(p.x, p.y, *sprite, 0, 0, size, size, !keyed);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * at.size() * size * size);
}

void blitSdl(benchmark::State& state, bool keyed, bool rle = false) {
    const PixelFormat format = formatOf(state.range(0));
    const auto size = static_cast<int32_t>(state.range(1));
    auto screenCanvas = HostCanvas::create(kScreenW, kScreenH, format);
    Surface screen = surfaceLike(*screenCanvas);
    Surface sprite = surfaceLike(*makeSprite(size, format));
    if (!screen || !sprite) return state.SkipWithError(SDL_GetError());
    if (keyed) SDL_SetColorKey(sprite.get(), SDL_TRUE, 0);
    if (rle) SDL_SetSurfaceRLE(sprite.get(), 1);
    const auto at = positions(size);
    for (auto _ : state) {
        for (const SDL_Point& p : at) {
            SDL_Rect to{p.x, p.y, size, size};
            SDL_BlitSurface(sprite.get(), nullptr, screen.get(), &to);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * at.size() * size * size);
}

void Canvas_KeyedBlit_tervex(benchmark::State& s) {
    blitTervex(s, true);
}
void Canvas_KeyedBlit_sdl(benchmark::State& s) {
    blitSdl(s, true);
}
void Canvas_KeyedBlit_sdlRle(benchmark::State& s) {
    blitSdl(s, true, true);
}
void Canvas_OpaqueBlit_tervex(benchmark::State& s) {
    blitTervex(s, false);
}
void Canvas_OpaqueBlit_sdl(benchmark::State& s) {
    blitSdl(s, false);
}

#define TX_BLIT_ARGS ArgsProduct({{32, 16, 24}, {32, 64}})
BENCHMARK(Canvas_KeyedBlit_tervex)->TX_BLIT_ARGS;
BENCHMARK(Canvas_KeyedBlit_sdl)->TX_BLIT_ARGS;
BENCHMARK(Canvas_KeyedBlit_sdlRle)->TX_BLIT_ARGS;
BENCHMARK(Canvas_OpaqueBlit_tervex)->TX_BLIT_ARGS;
BENCHMARK(Canvas_OpaqueBlit_sdl)->TX_BLIT_ARGS;

// Rectangle fills: range(0) = depth, range(1) = side (a side of 640 clears the whole screen).
void Canvas_Fill_tervex(benchmark::State& state) {
    auto screen = HostCanvas::create(kScreenW, kScreenH, formatOf(state.range(0)));
    const auto side = static_cast<int32_t>(state.range(1));
    const auto at = positions(side < kScreenH ? side : 0);
    screen->setClsColor(0xFF336699);
    screen->setColor(0xFF336699);
    for (auto _ : state) {
        if (side >= kScreenW) {
            screen->cls();
        } else {
            for (const SDL_Point& p : at) screen->rect(p.x, p.y, side, side, true);
        }
        benchmark::ClobberMemory();
    }
    const int64_t perIteration =
        side >= kScreenW ? int64_t{kScreenW} * kScreenH : int64_t{side} * side * int64_t(at.size());
    state.SetItemsProcessed(state.iterations() * perIteration);
}

void Canvas_Fill_sdl(benchmark::State& state) {
    auto canvas = HostCanvas::create(kScreenW, kScreenH, formatOf(state.range(0)));
    Surface screen = surfaceLike(*canvas);
    if (!screen) return state.SkipWithError(SDL_GetError());
    const auto side = static_cast<int32_t>(state.range(1));
    const auto at = positions(side < kScreenH ? side : 0);
    const Uint32 color = SDL_MapRGB(screen->format, 0x33, 0x66, 0x99);
    for (auto _ : state) {
        if (side >= kScreenW) {
            SDL_FillRect(screen.get(), nullptr, color);
        } else {
            for (const SDL_Point& p : at) {
                const SDL_Rect r{p.x, p.y, side, side};
                SDL_FillRect(screen.get(), &r, color);
            }
        }
        benchmark::ClobberMemory();
    }
    const int64_t perIteration =
        side >= kScreenW ? int64_t{kScreenW} * kScreenH : int64_t{side} * side * int64_t(at.size());
    state.SetItemsProcessed(state.iterations() * perIteration);
}

#define TX_FILL_ARGS ArgsProduct({{32, 16}, {32, 200, 640}})
BENCHMARK(Canvas_Fill_tervex)->TX_FILL_ARGS;
BENCHMARK(Canvas_Fill_sdl)->TX_FILL_ARGS;

// Lines across the screen in many directions; SDL draws them with its software renderer.
std::vector<std::array<int, 4>> lineSet() {
    std::vector<std::array<int, 4>> lines;
    for (int i = 0; i < 32; ++i) {
        lines.push_back({i * 20, 0, kScreenW - 1 - i * 20, kScreenH - 1});
        lines.push_back({0, i * 15, kScreenW - 1, kScreenH - 1 - i * 15});
    }
    return lines;
}

void Canvas_Line_tervex(benchmark::State& state) {
    auto screen = HostCanvas::create(kScreenW, kScreenH, formatOf(state.range(0)));
    const auto lines = lineSet();
    for (auto _ : state) {
        for (const auto& l : lines) screen->line(l[0], l[1], l[2], l[3]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(lines.size()));
}

void Canvas_Line_sdl(benchmark::State& state) {
    auto canvas = HostCanvas::create(kScreenW, kScreenH, formatOf(state.range(0)));
    Surface screen = surfaceLike(*canvas);
    SDL_Renderer* renderer = screen ? SDL_CreateSoftwareRenderer(screen.get()) : nullptr;
    if (renderer == nullptr) return state.SkipWithError(SDL_GetError());
    SDL_SetRenderDrawColor(renderer, 255, 255, 255, 255);
    const auto lines = lineSet();
    for (auto _ : state) {
        for (const auto& l : lines) SDL_RenderDrawLine(renderer, l[0], l[1], l[2], l[3]);
        SDL_RenderFlush(renderer);
        benchmark::ClobberMemory();
    }
    SDL_DestroyRenderer(renderer);
    state.SetItemsProcessed(state.iterations() * int64_t(lines.size()));
}

BENCHMARK(Canvas_Line_tervex)->Arg(32)->Arg(16);
BENCHMARK(Canvas_Line_sdl)->Arg(32)->Arg(16);

// Solid 100 x 80 ovals; SDL fills the same rows with one SDL_FillRect each (spans worked out
// before timing, so SDL's side does less work than the canvas, which computes them).
void Canvas_Oval_tervex(benchmark::State& state) {
    auto screen = HostCanvas::create(kScreenW, kScreenH, formatOf(state.range(0)));
    const auto at = positions(100);
    for (auto _ : state) {
        for (const SDL_Point& p : at) screen->oval(p.x, p.y, 100, 80, state.range(1) != 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(at.size()));
}

void Canvas_Oval_sdl(benchmark::State& state) {
    // The spans of the oval, read back from a canvas it was drawn on.
    auto probe = HostCanvas::create(100, 80, formatOf(state.range(0)));
    probe->oval(0, 0, 100, 80, state.range(1) != 0);
    std::vector<SDL_Rect> spans;
    for (int32_t y = 0; y < 80; ++y) {
        for (int32_t x = 0; x < 100;) {
            if (probe->getPixelFast(x, y) == 0xFF000000u) {
                ++x;
                continue;
            }
            int32_t end = x;
            while (end < 100 && probe->getPixelFast(end, y) != 0xFF000000u) ++end;
            spans.push_back({x, y, end - x, 1});
            x = end;
        }
    }
    auto canvas = HostCanvas::create(kScreenW, kScreenH, formatOf(state.range(0)));
    Surface screen = surfaceLike(*canvas);
    if (!screen) return state.SkipWithError(SDL_GetError());
    const Uint32 color = SDL_MapRGB(screen->format, 255, 255, 255);
    const auto at = positions(100);
    std::vector<SDL_Rect> placed(spans.size());
    for (auto _ : state) {
        for (const SDL_Point& p : at) {
            for (size_t i = 0; i < spans.size(); ++i)
                placed[i] = {spans[i].x + p.x, spans[i].y + p.y, spans[i].w, 1};
            SDL_FillRects(screen.get(), placed.data(), static_cast<int>(placed.size()), color);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(at.size()));
}

// range(1): 1 solid, 0 outline.
BENCHMARK(Canvas_Oval_tervex)->ArgsProduct({{32, 16}, {1, 0}});
BENCHMARK(Canvas_Oval_sdl)->ArgsProduct({{32, 16}, {1, 0}});

}  // namespace
}  // namespace tx
