// The support routines compiled code calls for Dim arrays and vectors: their storage comes from
// the guest heap (txAlloc), zeroed; the strings and objects held in it are released when it goes.
#pragma once

#include <cstdint>
#include <span>

#include "command.h"

namespace tx {

class GuestMachine;

// Turns the declared upper bounds in the descriptor's scales into cumulative element counts and
// allocates the zeroed cells.
void txDimArray(GuestMachine& machine, uint32_t array);
// Releases the strings (kind 3) or objects (kind 5) held, frees the cells, leaves the scales.
void txUndimArray(GuestMachine& machine, uint32_t array);
void txArrayBoundsEx();
uint32_t txVecAlloc(GuestMachine& machine, uint32_t vecType);
void txVecFree(GuestMachine& machine, uint32_t vector, uint32_t vecType);
void txVecBoundsEx();

// The six routines in registration order.
std::span<const CommandDef> arraySupportRoutines();

}  // namespace tx
