// Guest-to-command round trips: a guest loop calling a trivial command.
#include <benchmark/benchmark.h>

#include "command_registry.h"
#include "guest_code.h"

namespace tx {
namespace {

int32_t identity(int32_t x) {
    return x;
}
float halve(float x) {
    return x * 0.5f;
}

void linkBench(CommandRegistrar& r) {
    r.add(command<identity>("%Identity%x"));
    r.add(command<halve>("#Halve#x"));
}

const CommandTable& benchTable() {
    static const CommandTable table(&linkBench);
    return table;
}

constexpr uint32_t kCallsPerRun = 100'000;

void runLoop(benchmark::State& state, uint32_t slot, bool floatResult) {
    GuestMachine machine(benchTable());
    bench::GuestCode code(machine);
    code.loopStart(kCallsPerRun).push(0x3F800000).call(layout::thunkAddress(slot)).popArgs(1);
    if (floatResult) code.bytes({0xDD, 0xD8});  // fstp st(0): pop the result
    code.loopEnd().ret();
    const GuestAddr entry = code.load();
    for (auto _ : state) {
        const GuestEnd end = machine.call(entry);
        if (end.kind != GuestEndKind::Returned) state.SkipWithError("guest did not return");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kCallsPerRun);
}

void BM_CommandCallIntResult(benchmark::State& state) {
    runLoop(state, 1, false);
}
void BM_CommandCallFloatResult(benchmark::State& state) {
    runLoop(state, 2, true);
}

// The same loop without the call: what the guest's own instructions cost.
void BM_GuestLoopWithoutCall(benchmark::State& state) {
    GuestMachine machine(benchTable());
    bench::GuestCode code(machine);
    code.loopStart(kCallsPerRun).push(1).popArgs(1).loopEnd().ret();
    const GuestAddr entry = code.load();
    for (auto _ : state) machine.call(entry);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kCallsPerRun);
}

BENCHMARK(BM_CommandCallIntResult)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommandCallFloatResult)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuestLoopWithoutCall)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tx
