// Linking an image the size of a full game: ~240 KB of code, 3,400 symbols, 11,500 fixups.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "guest_machine.h"
#include "linker.h"
#include "module_image.h"
#include "runtime_interface.h"

namespace tx {
namespace {

std::vector<uint8_t> syntheticImage() {
    constexpr uint32_t kCode = 240'843, kSymbols = 3'396, kRelative = 4'577, kAbsolute = 6'932;
    const char* runtimeKeys[] = {"_fend",         "_fmillisecs",  "_fdelay",       "_fcommandline",
                                 "__txStrConcat", "__txStrConst", "__txStrRelease"};
    std::mt19937 rng(1234);
    auto below = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
    ModuleImage image;
    image.code.assign(kCode, 0x90);
    for (uint32_t i = 0; i < kSymbols; ++i)  // names in ascending byte order
        image.symbols.push_back({"_fuser" + std::to_string(100000 + i), below(kCode)});
    for (uint32_t i = 0; i < kRelative; ++i) {
        const bool runtimeTarget = i % 3 == 0;
        image.relativeFixups.push_back(
            {runtimeTarget ? runtimeKeys[i % 7] : image.symbols[below(kSymbols)].name,
             below(kCode - 4)});
    }
    for (uint32_t i = 0; i < kAbsolute; ++i)
        image.absoluteFixups.push_back({image.symbols[below(kSymbols)].name, below(kCode - 4)});
    return writeModuleImage(image);
}

void BM_LinkGameSizedImage(benchmark::State& state) {
    const std::vector<uint8_t> image = syntheticImage();
    std::unique_ptr<GuestMachine> machine;
    for (auto _ : state) {
        state.PauseTiming();  // a fresh guest for every link; making it is not linking
        machine = std::make_unique<GuestMachine>();
        state.ResumeTiming();
        const LinkResult result = link(runtimeGetRuntime(), image, *machine);
        if (result.status != LinkResult::Status::Linked)
            state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(result.entry);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}

BENCHMARK(BM_LinkGameSizedImage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
