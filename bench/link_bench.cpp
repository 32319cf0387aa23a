// Linking an image the size of a full game: ~240 KB of code, 3,400 symbols, 11,500 fixups.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "guest_machine.h"
#include "linker.h"
#include "runtime_interface.h"

namespace tx {
namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putName(std::vector<uint8_t>& out, const std::string& name) {
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
}

std::vector<uint8_t> syntheticImage() {
    constexpr uint32_t kCode = 240'843, kSymbols = 3'396, kRelative = 4'577, kAbsolute = 6'932;
    const char* runtimeKeys[] = {"_fend",         "_fmillisecs",  "_fdelay",       "_fcommandline",
                                 "__txStrConcat", "__txStrConst", "__txStrRelease"};
    std::mt19937 rng(1234);
    std::vector<uint8_t> image;
    put32(image, kCode);
    image.resize(image.size() + kCode, 0x90);
    std::vector<std::string> names;
    put32(image, kSymbols);
    for (uint32_t i = 0; i < kSymbols; ++i) {
        names.push_back("_fuser" + std::to_string(100000 + i));  // ascending byte order
        putName(image, names.back());
        put32(image, rng() % kCode);
    }
    put32(image, kRelative);
    for (uint32_t i = 0; i < kRelative; ++i) {
        const bool runtimeTarget = i % 3 == 0;
        putName(image, runtimeTarget ? runtimeKeys[i % 7] : names[rng() % kSymbols]);
        put32(image, rng() % (kCode - 4));
    }
    put32(image, kAbsolute);
    for (uint32_t i = 0; i < kAbsolute; ++i) {
        putName(image, names[rng() % kSymbols]);
        put32(image, rng() % (kCode - 4));
    }
    return image;
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
