// The basic library module: runs a linked program between the creation and destruction of the
// library modules, owns the process-wide state every command reads, and the runtime allocator.
#pragma once

#include <cstdint>
#include <span>

#include "guest_layout.h"
#include "host_runtime.h"
#include "runtime_interface.h"

namespace tx {

class GuestMachine;

// The open host runtime and the debug flag, set for the duration of a run.
HostRuntime& theRuntime();
bool hasRuntime();
bool debugEnabled();
GuestMachine& currentMachine();

// A library module: created in table order, destroyed in reverse.
struct LibraryModule {
    const char* name;
    bool (*create)();
    void (*destroy)();
    const char* failureMessage;  // "<name>_create failed"
};

std::span<const LibraryModule> libraryModules();
// The modules a game runs with, in module order.
std::span<const LibraryModule> defaultLibraryModules();

// Replaces the module table for the lifetime of the object (tests of the lifecycle).
class ScopedModuleTable {
public:
    explicit ScopedModuleTable(std::span<const LibraryModule> modules);
    ~ScopedModuleTable();
    ScopedModuleTable(const ScopedModuleTable&) = delete;
    ScopedModuleTable& operator=(const ScopedModuleTable&) = delete;

private:
    std::span<const LibraryModule> previous_;
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Ended;
    const char* message = nullptr;  // the runtime error, or "Unable to start program"
};

// Creates the modules, calls the entry point, ends it however it ends, destroys the modules.
RunResult run(HostRuntime& runtime, ProgramEntry entry, bool debug);

bool basicCreate();
void basicDestroy();

// The runtime allocator: zeroed guest memory, recorded so the basic module frees whatever is left
// when it is destroyed. An exhausted guest heap is the runtime error "Out of memory".
GuestAddr txAlloc(uint32_t size);
void txFree(GuestAddr block);

}  // namespace tx
