// The random generator: Rand and Rnd called as C++ functions and from a guest loop, next to the
// standard library's generator with the same multiplier and modulus.
#include <benchmark/benchmark.h>

#include <random>

#include "guest_code.h"
#include "math_commands.h"
#include "math_module.h"

namespace tx {
namespace {

void BM_RandDirect(benchmark::State& state) {
    MathModule module;
    mathSeedRnd(module, 1);
    for (auto _ : state) benchmark::DoNotOptimize(mathRand(module, 1, 6));
    state.SetItemsProcessed(state.iterations());
}

void BM_RndDirect(benchmark::State& state) {
    MathModule module;
    mathSeedRnd(module, 1);
    for (auto _ : state) benchmark::DoNotOptimize(mathRnd(module, 0.0f, 640.0f));
    state.SetItemsProcessed(state.iterations());
}

// std::minstd_rand is the same Lehmer generator (48271 modulo 2^31 - 1).
void BM_StdMinstdUniformInt(benchmark::State& state) {
    std::minstd_rand generator(1);
    std::uniform_int_distribution<int32_t> die(1, 6);
    for (auto _ : state) benchmark::DoNotOptimize(die(generator));
    state.SetItemsProcessed(state.iterations());
}

constexpr uint32_t kCallsPerRun = 100'000;

// Rand(1, 6) from a guest loop: the cost a compiled program pays per call.
void BM_RandFromGuest(benchmark::State& state) {
    const GuestAddr rand = bench::commandAddress("%Rand%from%to=1");
    GuestMachine machine;
    bench::GuestCode code(machine);
    code.loopStart(kCallsPerRun).push(6).push(1).call(rand).popArgs(2).loopEnd().ret();
    const GuestAddr entry = code.load();
    mathCreate();
    bench::runGuestLoop(state, machine, entry, kCallsPerRun);
    mathDestroy();
}

BENCHMARK(BM_RandDirect);
BENCHMARK(BM_RndDirect);
BENCHMARK(BM_StdMinstdUniformInt);
BENCHMARK(BM_RandFromGuest)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
