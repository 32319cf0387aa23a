// Turns the bytes of one source file into tokens. Errors are reported to the diagnostics and leave
// an Error token behind, so the parser does not report the same fault again.
#pragma once

#include <string_view>
#include <vector>

#include "diagnostics.h"
#include "token.h"

namespace tx::txc {

// The tokens of a file, always ending with a Tok::EndOfFile token.
std::vector<Token> tokenize(std::string_view bytes, uint32_t file, Diagnostics& diagnostics);

}  // namespace tx::txc
