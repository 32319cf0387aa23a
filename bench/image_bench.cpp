// Images, each beside its yardstick in the same run:
//   BM_DrawImageFromGuest/depth: DrawImage of a masked 32 x 32 frame into a 640 x 480 back
//     buffer, called from guest code (the command call included), in sprites per second;
//     BM_SdlRleBlit/depth: SDL_BlitSurface of the same sprite with an RLE colour key, called
//     from C++ on the same pixel format. With clipped=1 the sprites lie outside the buffer:
//     what is left is the call from guest code.
//   BM_ImagesCollide64: ImagesCollide of two overlapping 64 x 64 frames whose pixels never
//     meet (every word of the overlap is compared); BM_PerPixelCollide64: a per-pixel loop over
//     the same overlap.
//   BM_RotateImage64Filtered: the transform RotateImage makes of a 64 x 64 frame (box, new
//     canvas, bilinear samples), in result pixels per second.
//   BM_LoadImage1024Png: LoadImage's loader on a 1024 x 1024 PNG; BM_FreeImageLoadConvert:
//     FreeImage's own load and 32-bit conversion of the same file.
//   build/bench/tervex_bench --benchmark_filter='Image|Collide|RleBlit|FreeImage'
#include <FreeImage.h>
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "canvas_collision.h"
#include "canvas_transform.h"
#include "graphics_bench.h"
#include "graphics_commands.h"
#include "graphics_state.h"
#include "guest_code.h"
#include "host_runtime.h"
#include "picture_loader.h"
#include "string_pool.h"

namespace tx {
namespace {

constexpr int32_t kScreenW = GraphicsBench::kScreenW, kScreenH = GraphicsBench::kScreenH;
constexpr int32_t kSprite = 32;

// A ball on black (the mask colour), about a fifth of it transparent.
void paintSprite(HostCanvas& sprite) {
    for (int32_t i = 0; i < sprite.getWidth(); ++i) {
        sprite.setColor(0xFF204080u + static_cast<uint32_t>(i) * 0x030507u);
        sprite.line(0, i, sprite.getWidth() - 1, sprite.getWidth() - 1 - i);
    }
    sprite.setColor(0xFFFFFFFF);
    sprite.oval(0, 0, sprite.getWidth(), sprite.getHeight(), true);
    sprite.setColor(0xFF000000);
    sprite.rect(0, 0, sprite.getWidth() / 6, sprite.getHeight(), true);
}

std::array<SDL_Point, 64> positions() {
    std::array<SDL_Point, 64> out;
    uint32_t r = 12345;
    for (SDL_Point& p : out) {
        r = r * 1103515245u + 12345u;
        p.x = static_cast<int>((r >> 8) % (kScreenW - kSprite));
        r = r * 1103515245u + 12345u;
        p.y = static_cast<int>((r >> 8) % (kScreenH - kSprite));
    }
    return out;
}

HostCanvas& frameOf(uint32_t image) {
    return *graphicsState()->images.find(image)->frames[0].canvas;
}

// range(1) = 1: every sprite lies outside the buffer, so only the call and the clipping are
// left: the part of the time the guest's call takes.
void BM_DrawImageFromGuest(benchmark::State& state) {
    GraphicsBench bench(static_cast<int32_t>(state.range(0)));
    if (!bench.ready()) return state.SkipWithError("no display");
    const uint32_t image = createImage(*graphicsState(), kSprite, kSprite, 1);
    paintSprite(frameOf(image));
    const int32_t away = state.range(1) != 0 ? 4 * kScreenW : 0;
    GuestMachine machine;
    bench::GuestCode code(machine, 16384);
    const GuestAddr drawImage = bench::commandAddress("DrawImage%image%x%y%frame=0");
    constexpr uint32_t kRounds = 200;
    code.loopStart(kRounds);
    for (const SDL_Point& p : positions()) {
        code.push(0)
            .push(static_cast<uint32_t>(p.y))
            .push(static_cast<uint32_t>(p.x + away))
            .push(image)
            .call(drawImage)
            .popArgs(4);
    }
    code.loopEnd().ret();
    bench::runGuestLoop(state, machine, code.load(), kRounds * 64);
}
BENCHMARK(BM_DrawImageFromGuest)
    ->ArgsProduct({{32, 16}, {0, 1}})
    ->ArgNames({"depth", "clipped"})
    ->Unit(benchmark::kMillisecond);

void BM_SdlRleBlit(benchmark::State& state) {
    const auto depth = static_cast<int32_t>(state.range(0));
    const Uint32 format = depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    const auto pixelFormat = *PixelFormat::forDepth(depth);
    auto canvas = HostCanvas::create(kSprite, kSprite, pixelFormat);
    paintSprite(*canvas);
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> screen(
        SDL_CreateRGBSurfaceWithFormat(0, kScreenW, kScreenH, depth, format), SDL_FreeSurface);
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> sprite(
        SDL_CreateRGBSurfaceWithFormat(0, kSprite, kSprite, depth, format), SDL_FreeSurface);
    if (!screen || !sprite) return state.SkipWithError(SDL_GetError());
    for (int32_t y = 0; y < kSprite; ++y)
        std::memcpy(static_cast<uint8_t*>(sprite->pixels) + y * sprite->pitch,
                    canvas->pixelAddress(0, y), static_cast<size_t>(kSprite) * depth / 8);
    SDL_SetColorKey(sprite.get(), SDL_TRUE, 0);
    SDL_SetSurfaceRLE(sprite.get(), 1);
    const auto at = positions();
    for (auto _ : state) {
        for (const SDL_Point& p : at) {
            SDL_Rect to{p.x, p.y, kSprite, kSprite};
            SDL_BlitSurface(sprite.get(), nullptr, screen.get(), &to);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * at.size());
}
BENCHMARK(BM_SdlRleBlit)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);

// Two 64 x 64 frames 20 and 12 pixels apart: one opaque in columns 0..19 only, the other
// opaque everywhere but its columns 0..43, so the overlap never holds a pair.
struct CollidePair {
    uint32_t a = 0, b = 0;
    explicit CollidePair() {
        a = createImage(*graphicsState(), 64, 64, 1);
        b = createImage(*graphicsState(), 64, 64, 1);
        frameOf(a).setColor(0xFFFFFFFF);
        frameOf(a).rect(0, 0, 20, 64, true);
        frameOf(b).setColor(0xFFFFFFFF);
        frameOf(b).rect(44, 0, 20, 64, true);
    }
};

void BM_ImagesCollide64(benchmark::State& state) {
    GraphicsBench bench(32);
    if (!bench.ready()) return state.SkipWithError("no display");
    const CollidePair pair;
    int32_t hits = 0;
    for (auto _ : state) {
        hits += imagesCollide(pair.a, 100, 100, 0, pair.b, 80, 112, 0);
        benchmark::DoNotOptimize(hits);
    }
    if (hits != 0) state.SkipWithError("the frames were not to meet");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ImagesCollide64);

// The mask comparison alone, without the command's handle look-ups.
void BM_CanvasesCollide64(benchmark::State& state) {
    GraphicsBench bench(32);
    if (!bench.ready()) return state.SkipWithError("no display");
    const CollidePair pair;
    HostCanvas &a = frameOf(pair.a), &b = frameOf(pair.b);
    int32_t hits = 0;
    for (auto _ : state) {
        hits += canvasesCollide(a, 100, 100, b, 80, 112, false);
        benchmark::DoNotOptimize(hits);
    }
    if (hits != 0) state.SkipWithError("the frames were not to meet");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_CanvasesCollide64);

// Per pixel: each pair of overlapping pixels read and compared with its frame's mask colour.
bool perPixelCollide(const HostCanvas& a, int32_t ax, int32_t ay, const HostCanvas& b, int32_t bx,
                     int32_t by) {
    const int32_t x0 = std::max(ax, bx), x1 = std::min(ax + a.getWidth(), bx + b.getWidth());
    const int32_t y0 = std::max(ay, by), y1 = std::min(ay + a.getHeight(), by + b.getHeight());
    const uint32_t keyA = a.maskValue(), keyB = b.maskValue();
    for (int32_t y = y0; y < y1; ++y) {
        const auto* rowA = reinterpret_cast<const uint32_t*>(a.pixelAddress(0, y - ay));
        const auto* rowB = reinterpret_cast<const uint32_t*>(b.pixelAddress(0, y - by));
        for (int32_t x = x0; x < x1; ++x)
            if (((rowA[x - ax] ^ keyA) & 0xFFFFFF) != 0 && ((rowB[x - bx] ^ keyB) & 0xFFFFFF) != 0)
                return true;
    }
    return false;
}

void BM_PerPixelCollide64(benchmark::State& state) {
    GraphicsBench bench(32);
    if (!bench.ready()) return state.SkipWithError("no display");
    const CollidePair pair;
    const HostCanvas &a = frameOf(pair.a), &b = frameOf(pair.b);
    int32_t hits = 0;
    for (auto _ : state) {
        hits += perPixelCollide(a, 100, 100, b, 80, 112);
        benchmark::DoNotOptimize(hits);
    }
    if (hits != 0) state.SkipWithError("the frames were not to meet");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_PerPixelCollide64);

void BM_RotateImage64Filtered(benchmark::State& state) {
    const PixelFormat format = PixelFormat::xrgb8888();
    auto source = HostCanvas::create(64, 64, format);
    paintSprite(*source);
    source->setHandle(32, 32);
    const float r = -(30.0f * 0.017453292f);
    const auto c = static_cast<float>(std::cos(static_cast<double>(r)));
    const auto s = static_cast<float>(std::sin(static_cast<double>(r)));
    const auto plan = planTransform(64, 64, {c, -s, s, c}, 32, 32);
    if (!plan) return state.SkipWithError("no plan");
    for (auto _ : state) {
        const auto again = planTransform(64, 64, {c, -s, s, c}, 32, 32);
        auto dest = HostCanvas::create(again->width, again->height, format);
        renderTransform(*again, *source, *dest, true);
        benchmark::DoNotOptimize(dest->pixels());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * plan->width * plan->height);
}
BENCHMARK(BM_RotateImage64Filtered);

// A 1024 x 1024 PNG of gradients and noise, written once.
const std::string& bigPng() {
    static const std::string path = [] {
        const std::string file =
            (std::filesystem::temp_directory_path() / "tervex-bench-1024.png").string();
        FIBITMAP* bitmap = FreeImage_Allocate(1024, 1024, 24);
        uint32_t r = 1;
        for (unsigned y = 0; y < 1024; ++y) {
            BYTE* row = FreeImage_GetScanLine(bitmap, y);
            for (unsigned x = 0; x < 1024; ++x) {
                r = r * 1103515245u + 12345u;
                row[3 * x] = static_cast<BYTE>(x / 4);
                row[3 * x + 1] = static_cast<BYTE>(y / 4);
                row[3 * x + 2] = static_cast<BYTE>((r >> 24) & 0x1F);
            }
        }
        FreeImage_Save(FIF_PNG, bitmap, file.c_str(), 0);
        FreeImage_Unload(bitmap);
        return file;
    }();
    return path;
}

void BM_LoadImage1024Png(benchmark::State& state) {
    const std::string& path = bigPng();
    for (auto _ : state) {
        auto canvas = loadPicture(path, PixelFormat::xrgb8888());
        if (canvas == nullptr) return state.SkipWithError("not loaded");
        benchmark::DoNotOptimize(canvas->pixels());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1024 * 1024);
}
BENCHMARK(BM_LoadImage1024Png)->Unit(benchmark::kMillisecond);

void BM_FreeImageLoadConvert(benchmark::State& state) {
    const std::string& path = bigPng();
    for (auto _ : state) {
        FIBITMAP* loaded = FreeImage_Load(FIF_PNG, path.c_str(), 0);
        FIBITMAP* converted = FreeImage_ConvertTo32Bits(loaded);
        if (converted == nullptr) return state.SkipWithError("not loaded");
        benchmark::DoNotOptimize(FreeImage_GetBits(converted));
        FreeImage_Unload(converted);
        FreeImage_Unload(loaded);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1024 * 1024);
}
BENCHMARK(BM_FreeImageLoadConvert)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
