// Runs C++ test code inside a program run, where the language routines find what they need:
// the basic module's state, the runtime allocator and the guest they were called for.
//
// The guest program is one call to a command that runs the test body; only the basic module is
// created around it.
#pragma once

#include <functional>
#include <memory>

#include "basic_module.h"
#include "command_registry.h"
#include "guest_machine.h"
#include "host_runtime.h"
#include "image_builder.h"

namespace tx::test {

using ProgramBody = std::function<void(GuestMachine&)>;

namespace in_program_detail {

inline const ProgramBody* currentBody = nullptr;

inline void runBody(GuestMachine& machine) {
    (*currentBody)(machine);
}

inline void linkBody(CommandRegistrar& registrar) {
    registrar.add(command<runBody>("_txTestBody"));
}

inline const LibraryModule kBasicOnly[] = {kBasicModule};

}  // namespace in_program_detail

// Runs body as the whole program in a fresh machine; returns how the run ended. A runtime error
// the body does not catch ends the run like any command's. By default only the basic module is
// open, on the null backend; given modules, they are, on the host's backend.
inline RunResult runInProgram(const ProgramBody& body, ModuleList modules = {},
                              bool debug = false) {
    using namespace in_program_detail;
    static const CommandTable table(&linkBody);  // the body's command in slot 1
    GuestMachine machine(table);
    const GuestAddr entry = loadCode(machine, "E8k C3", {layout::thunkAddress(1)}, 8);  // call; ret
    std::unique_ptr<HostRuntime> runtime = modules.empty()
                                               ? HostRuntime::open("", nullptr, openNullBackend())
                                               : HostRuntime::open("", nullptr, 0);
    if (runtime == nullptr) return {RunOutcome::RuntimeUnavailable, nullptr};
    currentBody = &body;
    const RunResult result = run(*runtime, ProgramEntry{&machine, entry}, debug,
                                 modules.empty() ? ModuleList(kBasicOnly) : modules);
    currentBody = nullptr;
    return result;
}

}  // namespace tx::test
