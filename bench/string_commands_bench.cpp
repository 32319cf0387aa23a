// Mid, Replace and Instr on typical game strings, against the same work done with std::string.
// Each pool iteration makes the temporary a command receives (a copy of the text), runs the
// command and releases the result, as compiled code does; each std::string iteration copies the
// text, does the same work and destroys the strings.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "guest_code.h"
#include "string_commands.h"
#include "string_pool.h"

namespace tx {
namespace {

constexpr std::string_view kStatusLine = "Player 1: score 004520 lives 3 level 12 - press fire";
constexpr std::string_view kDialogue =
    "Welcome, traveller! The %NAME% of the north sends %NAME% greetings to the inn.";

StrArg temporary(std::string_view text) {
    return StrArg(strNew(text).handle);
}

// The part every pool iteration shares: making the temporary and releasing it.
void BM_PoolTemporaryOnly(benchmark::State& state) {
    stringsCreate();
    for (auto _ : state) {
        StrArg line = temporary(kStatusLine);
        benchmark::DoNotOptimize(line.handle());
    }
    state.SetItemsProcessed(state.iterations());
    stringsDestroy();
}

void BM_StdCopyOnly(benchmark::State& state) {
    for (auto _ : state) {
        std::string line(kStatusLine);
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_MidPool(benchmark::State& state) {
    stringsCreate();
    for (auto _ : state) {
        const Str result = stringMid(temporary(kStatusLine), 17, 6);
        benchmark::DoNotOptimize(strText(result.handle).data());
        strRelease(result.handle);
    }
    state.SetItemsProcessed(state.iterations());
    stringsDestroy();
}

void BM_MidStd(benchmark::State& state) {
    for (auto _ : state) {
        std::string line(kStatusLine);
        std::string result = line.substr(16, 6);
        benchmark::DoNotOptimize(result.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ReplacePool(benchmark::State& state) {
    stringsCreate();
    for (auto _ : state) {
        const Str result =
            stringReplace(temporary(kDialogue), temporary("%NAME%"), temporary("Baroness"));
        benchmark::DoNotOptimize(strText(result.handle).data());
        strRelease(result.handle);
    }
    state.SetItemsProcessed(state.iterations());
    stringsDestroy();
}

void BM_ReplaceStd(benchmark::State& state) {
    for (auto _ : state) {
        std::string text(kDialogue);
        const std::string from("%NAME%"), to("Baroness");
        for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
            text.replace(at, from.size(), to);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ReplaceShrinkingPool(benchmark::State& state) {
    stringsCreate();
    for (auto _ : state) {
        const Str result = stringReplace(temporary(kDialogue), temporary("%NAME%"), temporary("X"));
        benchmark::DoNotOptimize(strText(result.handle).data());
        strRelease(result.handle);
    }
    state.SetItemsProcessed(state.iterations());
    stringsDestroy();
}

void BM_ReplaceShrinkingStd(benchmark::State& state) {
    for (auto _ : state) {
        std::string text(kDialogue);
        const std::string from("%NAME%"), to("X");
        for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
            text.replace(at, from.size(), to);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_InstrPool(benchmark::State& state) {
    stringsCreate();
    for (auto _ : state)
        benchmark::DoNotOptimize(stringInstr(temporary(kStatusLine), temporary("level"), 1));
    state.SetItemsProcessed(state.iterations());
    stringsDestroy();
}

void BM_InstrStd(benchmark::State& state) {
    for (auto _ : state) {
        const std::string line(kStatusLine), find("level");
        const size_t at = line.find(find);
        benchmark::DoNotOptimize(at == std::string::npos ? 0 : at + 1);
    }
    state.SetItemsProcessed(state.iterations());
}

constexpr uint32_t kCallsPerRun = 100'000;

// Mid(line$, 17, 6) from a guest loop: literal to temporary, the command, the release.
void BM_MidFromGuest(benchmark::State& state) {
    const GuestAddr strConst = bench::commandAddress("_txStrConst");
    const GuestAddr strRelease = bench::commandAddress("_txStrRelease");
    const GuestAddr mid = bench::commandAddress("$Mid$string%start%count=-1");
    stringsCreate();
    GuestMachine machine;
    const GuestAddr literal = bench::guestLiteral(machine, kStatusLine);

    bench::GuestCode code(machine);
    code.loopStart(kCallsPerRun).push(literal).call(strConst).popArgs(1);
    code.push(6).push(17).pushEax().call(mid).popArgs(3);
    code.pushEax().call(strRelease).popArgs(1);
    code.loopEnd().ret();
    const GuestAddr entry = code.load();
    bench::runGuestLoop(state, machine, entry, kCallsPerRun);
    state.counters["live_strings"] = liveStrings();
    stringsDestroy();
}

BENCHMARK(BM_PoolTemporaryOnly);
BENCHMARK(BM_StdCopyOnly);
BENCHMARK(BM_MidPool);
BENCHMARK(BM_MidStd);
BENCHMARK(BM_ReplacePool);
BENCHMARK(BM_ReplaceStd);
BENCHMARK(BM_ReplaceShrinkingPool);
BENCHMARK(BM_ReplaceShrinkingStd);
BENCHMARK(BM_InstrPool);
BENCHMARK(BM_InstrStd);
BENCHMARK(BM_MidFromGuest)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
