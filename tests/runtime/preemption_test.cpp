// Serving a guest from the preemption clock's thread: guest code that runs long stretches
// without a command call is served meanwhile, and never while one of its commands runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "command_registry.h"
#include "guest_machine.h"
#include "image_builder.h"
#include "preempt_clock.h"
#include "tx_error.h"

namespace tx {
namespace {

std::atomic<bool> serving{false};
std::atomic<int> serves{0};
int probes = 0, overlaps = 0;

// Called by the guest between stretches of pure arithmetic; ends the run once the clock has
// served often enough (or gives up, and the test fails on the count).
void probe() {
    if (serving.load()) ++overlaps;
    if (++probes == 200 || (probes >= 10 && serves.load() >= 12)) throw TxEx{};
}

void serve(void*) {
    serving.store(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));  // wide enough to be caught in
    serving.store(false);
    serves.fetch_add(1);
}

void linkProbe(CommandRegistrar& r) {
    r.add(command<probe>("Probe"));
}

TEST(Preemption, LongStretchesOfGuestCodeAreServedAndCommandsWaitForTheService) {
    static const CommandTable table(&linkProbe);
    GuestMachine machine(table);
    // loop: mov ecx, 16000000 (several clock periods); spin: dec ecx; jnz spin; call Probe;
    // jmp loop
    const GuestAddr at =
        test::loadCode(machine, "B90024F400 49 75FD E8k EBF1", {layout::thunkAddress(1)}, 32);

    const preempt_clock::Watch watch([](void*) { return false; }, &serve, nullptr);
    const GuestEnd end = machine.call(at);
    EXPECT_EQ(end.kind, GuestEndKind::Ended) << (end.message ? end.message : "");
    EXPECT_GE(serves.load(), 12) << "after " << probes << " stretches";
    EXPECT_EQ(overlaps, 0);
}

}  // namespace
}  // namespace tx
