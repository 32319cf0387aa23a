// Data statements: the read pointer into the compiled program's table of constants, and the
// reads that take the next constant as the type the program asks for.
#pragma once

#include <cstdint>
#include <span>

#include "command.h"
#include "language_layout.h"
#include "tx_string.h"

namespace tx {

class GuestMachine;

void txRestore(GuestPtr<GuestDataRecord> record);
// At the end record: "Out of data"; at a record of unknown type: "Bad data type". The read
// pointer moves on only after a successful read.
int32_t txReadInt(GuestMachine& machine);
float txReadFloat(GuestMachine& machine);
Str txReadStr(GuestMachine& machine);

// The four routines in registration order.
std::span<const CommandDef> dataSupportRoutines();

}  // namespace tx
