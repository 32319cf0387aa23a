// The support routines compiled code calls for Dim arrays and vectors: their storage comes from
// the guest heap (txAlloc), zeroed; the strings and objects held in it are released when it goes.
#pragma once

#include <cstdint>
#include <span>

#include "command.h"
#include "language_layout.h"

namespace tx {

class GuestMachine;

// Turns the declared upper bounds in the descriptor's scales into cumulative element counts and
// allocates the zeroed cells.
void txDimArray(GuestMachine& machine, GuestPtr<GuestArray> array);
// Releases the strings (kind 3) or objects (kind 5) held, frees the cells, leaves the scales.
void txUndimArray(GuestMachine& machine, GuestPtr<GuestArray> array);
void txArrayBoundsEx();
GuestPtr<GuestVector> txVecAlloc(GuestMachine& machine, GuestPtr<GuestType> vecType);
void txVecFree(GuestMachine& machine, GuestPtr<GuestVector> vector, GuestPtr<GuestType> vecType);
void txVecBoundsEx();

// The six routines in registration order.
std::span<const CommandDef> arraySupportRoutines();

}  // namespace tx
