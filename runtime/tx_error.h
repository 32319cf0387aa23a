// The exception that ends a program, and the one way to raise a runtime error.
#pragma once

namespace tx {

// Thrown by value, caught only where a program run ends. A null message ends the program quietly.
struct TxEx {
    const char* message = nullptr;
};

// Reports the message to the host runtime's debugger, then throws TxEx carrying it.
// The message must outlive the run: a literal or a static buffer.
[[noreturn]] void runtimeError(const char* message);

// Ends the program without a message.
[[noreturn]] inline void endQuietly() {
    throw TxEx{};
}

}  // namespace tx
