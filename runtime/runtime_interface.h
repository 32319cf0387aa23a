// The seam between whoever links and runs a compiled program and the runtime that runs it.
#pragma once

#include <cstdint>
#include <streambuf>

#include "debugger.h"
#include "guest_layout.h"

namespace tx {

class GuestMachine;

// A linked entry point: the guest it was linked into and the address of its first byte.
struct ProgramEntry {
    GuestMachine* machine = nullptr;
    GuestAddr address = 0;
};

// How a run ended, so the process can report it in its exit code.
enum class RunOutcome {
    Ended,               // the entry point returned, or End / a quiet end
    RuntimeError,        // a runtime error or fault ended the program
    StartupFailed,       // a library module could not be created
    RuntimeUnavailable,  // the host runtime could not be opened
};

class RuntimeInterface {
public:
    virtual ~RuntimeInterface() = default;

    virtual int32_t version() = 0;
    // Enumerates the command registry, filling it first when empty; null after the last entry
    // (which also empties it).
    virtual const char* nextSymbol() = 0;
    virtual uint32_t symbolValue(const char* signature) = 0;
    virtual void startup(void* instance) = 0;
    virtual void shutdown() = 0;
    virtual RunOutcome execute(ProgramEntry entry, const char* argumentText, Debugger* debugger,
                               bool debug, uint32_t windowFlags) = 0;
    // From any thread, while a program runs.
    virtual void asyncStop() = 0;
    virtual void asyncRun() = 0;
    virtual void asyncEnd() = 0;
    virtual void writeDiagnostics(std::streambuf* buffer) = 0;
};

// The one runtime interface of the process, created on first use with the module list (it is
// defined with that list, above the modules).
RuntimeInterface& runtimeGetRuntime();

}  // namespace tx
