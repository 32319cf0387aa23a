// String temporaries as compiled code makes them: a = "literal" + "literal", then released.
#include <benchmark/benchmark.h>

#include "guest_code.h"
#include "string_pool.h"

namespace tx {
namespace {

constexpr uint32_t kExpressionsPerRun = 100'000;

void BM_StringConstConcatRelease(benchmark::State& state) {
    const GuestAddr strConst = bench::commandAddress("_txStrConst");
    const GuestAddr strConcat = bench::commandAddress("_txStrConcat");
    const GuestAddr strRelease = bench::commandAddress("_txStrRelease");

    stringsCreate();
    GuestMachine machine;
    const GuestAddr literal = bench::guestLiteral(machine, "player one:");

    bench::GuestCode code(machine);
    code.loopStart(kExpressionsPerRun);
    code.push(literal).call(strConst).popArgs(1).bytes({0x89, 0xC7});  // mov edi, eax
    code.push(literal).call(strConst).popArgs(1);
    code.pushEax().bytes({0x57}).call(strConcat).popArgs(2);  // push eax; push edi
    code.pushEax().call(strRelease).popArgs(1);
    code.loopEnd().ret();
    const GuestAddr entry = code.load();

    bench::runGuestLoop(state, machine, entry, kExpressionsPerRun);
    state.counters["live_strings"] = liveStrings();
    state.counters["pool_blocks"] = static_cast<double>(stringPool().blockCount());
    stringsDestroy();
}

BENCHMARK(BM_StringConstConcatRelease)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
