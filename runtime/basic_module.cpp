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
#include "preempt_clock.h"
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

// The list a ScopedModuleTable installed; null when none is.
const ModuleList*& moduleOverride() {
    static const ModuleList* list = nullptr;
    return list;
}

// Creates modules in order; on a failure reports it, destroys the ones created, and fails.
bool createModules(HostRuntime& runtime, std::span<const LibraryModule> modules) {
    for (size_t k = 0; k < modules.size(); ++k) {
        if (modules[k].create()) continue;
        const std::string report =
            std::string("Startup Error: ") + modules[k].name + "_create failed";
        runtime.debugInfo(report.c_str());
        for (size_t j = k; j-- > 0;) modules[j].destroy();
        return false;
    }
    return true;
}

void destroyModules(std::span<const LibraryModule> modules) {
    for (size_t j = modules.size(); j-- > 0;) modules[j].destroy();
}

// Guest code asked for service: the window is served (never the input state, which commands
// alone update) and the program goes on unless it must end.
bool serveWindow() {
    return context().runtime == nullptr || context().runtime->service();
}

// On the preemption clock's thread: whether the program must end now. Its timer waits are then
// woken (the end request's descriptor does not reach them).
bool mustEndNow(void* context) {
    auto* runtime = static_cast<HostRuntime*>(context);
    if (!runtime->mustEndNow()) return false;
    runtime->timers().interruptWaits();
    return true;
}

// On the preemption clock's thread while guest code runs without calling commands: the window
// keeps answering; the program sees what was gathered at its next command.
void gatherWindowEvents(void* context) {
    static_cast<HostRuntime*>(context)->gatherWindowEvents();
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

ModuleList libraryModules(ModuleList modules) {
    const ModuleList* scoped = moduleOverride();
    return scoped != nullptr ? *scoped : modules;
}

ScopedModuleTable::ScopedModuleTable(ModuleList modules)
    : list_(modules), previous_(moduleOverride()) {
    moduleOverride() = &list_;
}

ScopedModuleTable::~ScopedModuleTable() {
    moduleOverride() = previous_;
}

// "file:line: message" once a debug build has reported a statement; the message otherwise.
const char* locateError(const char* message) {
    BasicModule* module = ModuleState<BasicModule>::find();
    if (message == nullptr || module == nullptr || module->statementFile == 0 ||
        context().machine == nullptr)
        return message;
    std::string located(context().machine->memory().cString(module->statementFile, 4096));
    located += ':' + std::to_string(module->statementLine) + ": " + message;
    module->locatedError = std::move(located);
    return module->locatedError.c_str();
}

void runtimeError(const char* message) {
    message = locateError(message);
    if (message != nullptr && context().runtime != nullptr) context().runtime->debugError(message);
    throw TxEx{message};
}

RunResult run(HostRuntime& runtime, ProgramEntry entry, bool debug, ModuleList moduleList) {
    RunContext& ctx = context();
    ctx = RunContext{&runtime, entry.machine, debug};
    const ModuleList modules = libraryModules(moduleList);
    if (!createModules(runtime, modules)) {
        ctx = RunContext{};
        return {RunOutcome::StartupFailed, "Unable to start program"};
    }
    RunResult result;
    try {
        if (!runtime.idle()) endQuietly();
        const preempt_clock::Watch watch(&mustEndNow, &gatherWindowEvents, &runtime);
        entry.machine->setServiceHandler(&serveWindow);
        const GuestEnd end = entry.machine->call(entry.address);
        entry.machine->setServiceHandler(nullptr);
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
    ModuleState<BasicModule>::open(std::make_unique<BasicModule>());
    stringsCreate();
    return true;
}

void basicDestroy() {
    stringsDestroy();
    BasicModule* module = ModuleState<BasicModule>::find();
    if (module == nullptr) return;
    if (context().machine != nullptr) objectsDestroy(*context().machine, *module);
    // Free what the program left, the most recently recorded block first.
    std::vector<std::pair<uint64_t, GuestAddr>> blocks;
    blocks.reserve(module->memBlocks.size());
    for (const auto& [block, order] : module->memBlocks) blocks.emplace_back(order, block);
    std::sort(blocks.rbegin(), blocks.rend());
    if (context().machine != nullptr)
        for (const auto& [order, block] : blocks) context().machine->heap().free(block);
    ModuleState<BasicModule>::close();
}

BasicModule& basicState() {
    return ModuleState<BasicModule>::running();
}

HostTimer* HandleKind<HostTimer>::find(uint32_t handle) {
    const BasicModule* module = ModuleState<BasicModule>::find();
    return module != nullptr ? module->timers.find(handle) : nullptr;
}

GuestAddr txAlloc(uint32_t size) {
    GuestMachine& machine = currentMachine();
    const GuestAddr block = machine.heap().allocate(size);
    if (block == 0) runtimeError("Out of memory");
    std::memset(machine.memory().writableBytes(block, size), 0, size);
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
