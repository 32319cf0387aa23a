#include "runtime_stats.h"

#include <cstdio>

#include "basic_state.h"
#include "string_pool.h"

namespace tx {
namespace {

void writeLine(const char* format, auto value) {
    std::fprintf(stderr, format, value);
    std::fflush(stderr);
}

constexpr CommandDef kRuntimeStats = command<runtimeStats>("RuntimeStats");

}  // namespace

void runtimeStats() {
    const BasicModule& state = basicState();
    writeLine("Active strings:%d\n", static_cast<int>(liveStrings()));
    writeLine("Active objects:%d\n", static_cast<int>(state.activeObjects));
    writeLine("Unreleased Objects:%d\n", static_cast<int>(state.unreleasedObjects));
    for (const uint32_t handle : stringPool().usedHandles())
        writeLine("string@%08X\n", static_cast<unsigned>(handle));
}

const CommandDef& runtimeStatsCommand() {
    return kRuntimeStats;
}

}  // namespace tx
