// Runs C++ test code inside a program run, where the language routines find what they need:
// the basic module's state, the runtime allocator and the guest they were called for.
//
// The guest program is one call to a command that runs the test body; only the basic module is
// created around it.
#pragma once

#include <cstring>
#include <functional>
#include <memory>

#include "basic_module.h"
#include "command_registry.h"
#include "guest_machine.h"
#include "host_runtime.h"

namespace tx::test {

using ProgramBody = std::function<void(GuestMachine&)>;

namespace in_program_detail {

inline const ProgramBody*& currentBody() {
    static const ProgramBody* body = nullptr;
    return body;
}

inline void runBody(GuestMachine& machine) {
    (*currentBody())(machine);
}

inline void linkBody(CommandRegistrar& registrar) {
    registrar.add(command<runBody>("_txTestBody"));
}

inline const LibraryModule kBasicOnly[] = {
    kBasicModule,
};

}  // namespace in_program_detail

// The table a machine must be made with for runInProgram: the body's command in slot 1.
inline const CommandTable& inProgramTable() {
    static const CommandTable table(&in_program_detail::linkBody);
    return table;
}

// Runs body as the whole program in `machine` (made with inProgramTable()); returns how the run
// ended. A runtime error the body does not catch ends the run like any command's. By default only
// the basic module is open, on the null backend; given modules, they are, on the host's backend.
inline RunResult runInProgram(GuestMachine& machine, const ProgramBody& body,
                              ModuleList modules = {}, bool debug = false) {
    using namespace in_program_detail;
    const GuestAddr entry = machine.heap().allocate(8);
    uint8_t* code = machine.memory().writableBytes(entry, 6);
    const int32_t rel = static_cast<int32_t>(layout::thunkAddress(1) - (entry + 5));
    code[0] = 0xE8;  // call thunk 1
    std::memcpy(code + 1, &rel, 4);
    code[5] = 0xC3;  // ret
    std::unique_ptr<HostRuntime> runtime = modules.empty()
                                               ? HostRuntime::open("", nullptr, openNullBackend())
                                               : HostRuntime::open("", nullptr, 0);
    if (runtime == nullptr) return {RunOutcome::RuntimeUnavailable, nullptr};
    currentBody() = &body;
    const RunResult result = run(*runtime, ProgramEntry{&machine, entry}, debug,
                                 modules.empty() ? ModuleList(kBasicOnly) : modules);
    currentBody() = nullptr;
    machine.heap().free(entry);
    return result;
}

// Runs body in a fresh machine.
inline RunResult runInProgram(const ProgramBody& body, ModuleList modules = {},
                              bool debug = false) {
    GuestMachine machine(inProgramTable());
    return runInProgram(machine, body, modules, debug);
}

}  // namespace tx::test
