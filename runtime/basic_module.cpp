#include "basic_module.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "basic_state.h"
#include "guest_machine.h"
#include "object_routines.h"
#include "string_pool.h"
#include "tx_error.h"

namespace tx {
namespace {

// Process-wide state of a run; empty outside one.
struct RunContext {
    HostRuntime* runtime = nullptr;
    GuestMachine* machine = nullptr;
    bool debug = false;
};

RunContext& context() {
    static RunContext ctx;
    return ctx;
}

std::span<const LibraryModule>& moduleTable() {
    static std::span<const LibraryModule> table{defaultLibraryModules()};
    return table;
}

// Creates modules in order; on a failure reports it, destroys the ones created, and fails.
bool createModules(HostRuntime& runtime, std::span<const LibraryModule> modules) {
    for (size_t k = 0; k < modules.size(); ++k) {
        if (modules[k].create()) continue;
        const std::string report = std::string("Startup Error: ") + modules[k].failureMessage;
        runtime.debugInfo(report.c_str());
        for (size_t j = k; j-- > 0;) modules[j].destroy();
        return false;
    }
    return true;
}

void destroyModules(std::span<const LibraryModule> modules) {
    for (size_t j = modules.size(); j-- > 0;) modules[j].destroy();
}

std::unique_ptr<BasicModule>& basicModule() {
    static std::unique_ptr<BasicModule> module;
    return module;
}

}  // namespace

HostRuntime& theRuntime() {
    return *context().runtime;
}
bool hasRuntime() {
    return context().runtime != nullptr;
}
bool debugEnabled() {
    return context().debug;
}
GuestMachine& currentMachine() {
    return *context().machine;
}

std::span<const LibraryModule> libraryModules() {
    return moduleTable();
}

ScopedModuleTable::ScopedModuleTable(std::span<const LibraryModule> modules)
    : previous_(moduleTable()) {
    moduleTable() = modules;
}

ScopedModuleTable::~ScopedModuleTable() {
    moduleTable() = previous_;
}

void runtimeError(const char* message) {
    if (message != nullptr && context().runtime != nullptr) context().runtime->debugError(message);
    throw TxEx{message};
}

RunResult run(HostRuntime& runtime, ProgramEntry entry, bool debug) {
    RunContext& ctx = context();
    ctx = RunContext{&runtime, entry.machine, debug};
    const auto modules = libraryModules();
    if (!createModules(runtime, modules)) {
        ctx = RunContext{};
        return {RunOutcome::StartupFailed, "Unable to start program"};
    }
    RunResult result;
    try {
        if (!runtime.idle()) endQuietly();
        const GuestEnd end = entry.machine->call(entry.address);
        switch (end.kind) {
            case GuestEndKind::Returned:
            case GuestEndKind::BudgetSpent:
                runtime.debugInfo("Program has ended");
                break;
            case GuestEndKind::Ended:
                throw TxEx{end.message};
            case GuestEndKind::Fault:
                runtimeError(end.message);
        }
    } catch (const TxEx& ex) {
        result = {ex.message != nullptr ? RunOutcome::RuntimeError : RunOutcome::Ended, ex.message};
    }
    destroyModules(modules);
    ctx = RunContext{};
    return result;
}

bool basicCreate() {
    basicModule() = std::make_unique<BasicModule>();
    stringsCreate();
    return true;
}

void basicDestroy() {
    stringsDestroy();
    auto& module = basicModule();
    if (module == nullptr) return;
    if (context().machine != nullptr) objectsDestroy(*context().machine, *module);
    // Free what the program left, the most recently recorded block first.
    std::vector<std::pair<uint64_t, GuestAddr>> blocks;
    blocks.reserve(module->memBlocks.size());
    for (const auto& [block, order] : module->memBlocks) blocks.emplace_back(order, block);
    std::sort(blocks.rbegin(), blocks.rend());
    if (context().machine != nullptr)
        for (const auto& [order, block] : blocks) context().machine->heap().free(block);
    module.reset();
}

BasicModule& basicState() {
    auto& module = basicModule();
    if (module == nullptr) runtimeError("Unknown runtime exception");
    return *module;
}

GuestAddr txAlloc(uint32_t size) {
    GuestMachine& machine = currentMachine();
    const GuestAddr block = machine.heap().allocate(size);
    if (block == 0) runtimeError("Out of memory");
    std::memset(machine.memory().bytes(block, size), 0, size);
    auto& module = basicState();
    module.memBlocks.emplace(block, module.nextBlockOrder++);
    return block;
}

void txFree(GuestAddr block) {
    if (block == 0) return;
    auto& module = basicState();
    if (module.memBlocks.erase(block) != 0) currentMachine().heap().free(block);
}

}  // namespace tx
