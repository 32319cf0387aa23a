// The basic library module: runs a linked program between the creation and destruction of the
// library modules, owns the process-wide state every command reads, and the runtime allocator.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "command_registry.h"
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

// A library module: its name, the link function that registers its commands, and its create
// and destroy, which make and drop the state it owns. Modules are created in list order and
// destroyed in reverse; a failed create is reported as "<name>_create failed".
struct LibraryModule {
    const char* name;
    LinkFunction link;
    bool (*create)();
    void (*destroy)();
};

using ModuleList = std::span<const LibraryModule>;

// The list a run uses: the one a ScopedModuleTable installed, else `modules`.
ModuleList libraryModules(ModuleList modules);

// Replaces the module list of every run for the lifetime of the object (tests of the
// lifecycle).
class ScopedModuleTable {
public:
    explicit ScopedModuleTable(ModuleList modules);
    ~ScopedModuleTable();
    ScopedModuleTable(const ScopedModuleTable&) = delete;
    ScopedModuleTable& operator=(const ScopedModuleTable&) = delete;

private:
    ModuleList list_;
    const ModuleList* previous_;
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Ended;
    const char* message = nullptr;  // the runtime error, or "Unable to start program"
};

// The runtime interface over a registry (link, table) that runs programs with these modules.
std::unique_ptr<RuntimeInterface> makeRuntimeInterface(LinkFunction link, const CommandTable& table,
                                                       ModuleList modules);

// Creates the modules, calls the entry point, ends it however it ends, destroys the modules.
RunResult run(HostRuntime& runtime, ProgramEntry entry, bool debug, ModuleList modules);

// The basic module: system commands and the language support routines.
void linkBasicModule(CommandRegistrar& registrar);
bool basicCreate();
void basicDestroy();
inline constexpr LibraryModule kBasicModule{"basic", &linkBasicModule, &basicCreate, &basicDestroy};

// The runtime allocator: zeroed guest memory, recorded so the basic module frees whatever is left
// when it is destroyed. An exhausted guest heap is the runtime error "Out of memory".
GuestAddr txAlloc(uint32_t size);
void txFree(GuestAddr block);

}  // namespace tx
