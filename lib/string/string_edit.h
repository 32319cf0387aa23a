// Helpers the string commands share: changing a string argument in place, and their errors.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "string_commands.h"
#include "string_pool.h"
#include "tx_error.h"
#include "tx_string.h"

namespace tx::strings {

inline constexpr const char* kMustBePositive = "parameter must be positive";
inline constexpr const char* kMustBeAboveZero = "parameter must be greater than 0";

// The argument's pool text, to be changed in place and handed back with arg.release(). An
// argument that names no live string is replaced by a new empty one first; the dead handle is
// dropped before, not released after, as the new string may be given that same handle.
inline std::string& editable(StrArg& arg) {
    if (std::string* text = stringPool().mutableText(arg.handle())) return *text;
    (void)arg.release();
    arg = StrArg(strNew({}).handle);
    return *stringPool().mutableText(arg.handle());
}

// Keeps only text[start, start + length): one move and a cut, no allocation.
inline void keepRange(std::string& text, size_t start, size_t length) {
    if (start != 0 && length != 0) std::memmove(text.data(), text.data() + start, length);
    text.resize(length);
}

// Ends the program before a result longer than kMaxStringBytes is built.
inline void requireLength(size_t bytes) {
    if (bytes > kMaxStringBytes) runtimeError("Out of string memory");
}

}  // namespace tx::strings
