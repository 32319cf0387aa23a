// String temporaries as compiled code makes them: a = "literal" + "literal", then released.
#include <benchmark/benchmark.h>

#include <cstring>

#include "command_registry.h"
#include "guest_code.h"
#include "string_pool.h"

namespace tx {
namespace {

constexpr uint32_t kExpressionsPerRun = 100'000;

void BM_StringConstConcatRelease(benchmark::State& state) {
    CommandRegistry registry;
    registry.fill();
    const GuestAddr strConst = registry.symbolValue("_txStrConst");
    const GuestAddr strConcat = registry.symbolValue("_txStrConcat");
    const GuestAddr strRelease = registry.symbolValue("_txStrRelease");

    stringsCreate();
    GuestMachine machine;
    const GuestAddr literal = machine.heap().allocate(32);
    std::memcpy(machine.memory().bytes(literal, 12), "player one:", 12);

    bench::GuestCode code(machine);
    code.loopStart(kExpressionsPerRun);
    code.push(literal).call(strConst).popArgs(1).bytes({0x89, 0xC7});  // mov edi, eax
    code.push(literal).call(strConst).popArgs(1);
    code.pushEax().bytes({0x57}).call(strConcat).popArgs(2);  // push eax; push edi
    code.pushEax().call(strRelease).popArgs(1);
    code.loopEnd().ret();
    const GuestAddr entry = code.load();

    for (auto _ : state) {
        if (machine.call(entry).kind != GuestEndKind::Returned)
            state.SkipWithError("guest did not return");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kExpressionsPerRun);
    state.counters["live_strings"] = liveStrings();
    state.counters["pool_blocks"] = static_cast<double>(stringPool().blockCount());
    stringsDestroy();
}

BENCHMARK(BM_StringConstConcatRelease)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
