// The runtime error a call raises, for tests that call commands and routines directly.
#pragma once

#include <string>

#include "tx_error.h"

namespace tx::test {

// The message of the runtime error the call raises: "" when it raises none, "(quiet end)" for
// an end without a message.
template <typename F>
std::string errorOf(F&& call) {
    try {
        call();
    } catch (const TxEx& ex) {
        return ex.message != nullptr ? ex.message : "(quiet end)";
    }
    return "";
}

}  // namespace tx::test
