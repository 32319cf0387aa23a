// What txrun prints about the registry: its signatures, and C declarations of its entries for
// guest programs written in C.
#pragma once

#include <ostream>

#include "runtime_interface.h"

namespace tx {

// One signature per line, in registry order.
void writeSignatures(RuntimeInterface& runtime, std::ostream& out);

// A C header declaring every registry entry under its link key: commands and support routines
// as prototypes, data symbols as arrays of 32-bit words. It uses the `txstr` type, which the
// including header defines.
void writeGuestHeader(RuntimeInterface& runtime, std::ostream& out);

}  // namespace tx
