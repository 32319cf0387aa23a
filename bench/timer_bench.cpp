// Periodic timers: creating and freeing many of them, and waiting on one among thousands.
#include <benchmark/benchmark.h>

#include <vector>

#include "timer_set.h"

namespace tx {
namespace {

void BM_CreateAndFreeTimers(benchmark::State& state) {
    const auto count = static_cast<size_t>(state.range(0));
    std::vector<HostTimer*> timers(count);
    for (auto _ : state) {
        TimerSet set;
        for (size_t i = 0; i < count; ++i) timers[i] = set.create(60 + static_cast<int32_t>(i));
        for (size_t i = 0; i < count; i += 2) set.free(timers[i]);
        // The rest go with the set, as a program's timers go with its end.
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}
BENCHMARK(BM_CreateAndFreeTimers)->Arg(3000);

// 1 kHz waits with 3,000 other timers alive: their cost is nothing while they are not waited on.
void BM_WaitTimerAmongThousands(benchmark::State& state) {
    TimerSet set;
    for (int i = 0; i < 3000; ++i) set.create(1000);
    HostTimer* timer = set.create(1000);
    for (auto _ : state) benchmark::DoNotOptimize(timer->wait());
}
BENCHMARK(BM_WaitTimerAmongThousands)->Iterations(200)->UseRealTime();

}  // namespace
}  // namespace tx
