// The state a library module owns while it exists. A module's commands take it as a leading
// `S&` parameter and the command adapter passes it: one pointer per state type, read without
// a look-up, set by the module's create and cleared by its destroy.
#pragma once

#include <concepts>
#include <memory>

#include "tx_error.h"

namespace tx {

// A module state type names its module: `static constexpr const char* kModuleName = "bank";`.
template <typename S>
concept ModuleStateType = requires {
    { S::kModuleName } -> std::convertible_to<const char*>;
};

template <ModuleStateType S>
class ModuleState {
public:
    // The state while the module exists, else null.
    static S* find() { return state_.get(); }
    // The state for a command: a command runs only while its module exists, so a missing state
    // is an internal failure of the run, not a program error.
    static S& running() {
        if (state_ == nullptr) runtimeError("Unknown runtime exception");
        return *state_;
    }
    // Installs the state (replacing any earlier one) and returns it.
    static S& open(std::unique_ptr<S> state) {
        state_ = std::move(state);
        return *state_;
    }
    // Destroys the state; nothing when the module does not exist.
    static void close() { state_.reset(); }

private:
    static inline std::unique_ptr<S> state_;
};

}  // namespace tx
