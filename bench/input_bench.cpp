// The cost of reading input: a KeyDown pumps the window's events first, so a game that reads
// ten keys a frame pays for ten pumps. Measured on SDL's offscreen window with an empty queue,
// and with one key press and release delivered per read.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "host_runtime.h"
#include "input_commands.h"

namespace tx {
namespace {

// A runtime on SDL's offscreen window; null (and the benchmark skipped) when none opens.
std::unique_ptr<HostRuntime> openRuntime(benchmark::State& state) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    auto runtime = HostRuntime::open("", nullptr, 0);
    if (!runtime) state.SkipWithError("no runtime");
    return runtime;
}

void BM_KeyDownWithEmptyQueue(benchmark::State& state) {
    auto runtime = openRuntime(state);
    if (!runtime) return;
    InputState input(*runtime);
    for (auto _ : state) benchmark::DoNotOptimize(keyDown(input, 1));
}
BENCHMARK(BM_KeyDownWithEmptyQueue);

void BM_KeyDownAfterAPressAndRelease(benchmark::State& state) {
    auto runtime = openRuntime(state);
    if (!runtime) return;
    InputState input(*runtime);
    SDL_Event press;
    std::memset(&press, 0, sizeof press);
    press.type = SDL_KEYDOWN;
    press.key.keysym.scancode = SDL_SCANCODE_SPACE;
    SDL_Event release = press;
    release.type = SDL_KEYUP;
    for (auto _ : state) {
        SDL_PushEvent(&press);
        SDL_PushEvent(&release);
        benchmark::DoNotOptimize(keyHit(input, 57));
    }
}
BENCHMARK(BM_KeyDownAfterAPressAndRelease);

}  // namespace
}  // namespace tx
