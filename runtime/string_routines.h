// The support routines compiled code calls to make, store, join, compare and convert strings.
//
// String arguments are temporaries the routine owns (StrArg releases them); string results are
// new temporaries the caller owns. A string variable is a 4-byte guest cell holding a handle
// (0 for none) and owns the string it names.
#pragma once

#include <cstdint>
#include <span>

#include "command.h"
#include "language_layout.h"
#include "tx_string.h"

namespace tx {

class GuestMachine;

// A new string with a copy of the 0-terminated literal at literalAddr.
Str txStrConst(GuestMachine& machine, GuestPtr<const char> literalAddr);
// A new string with a copy of the variable's text (empty when it holds none).
Str txStrLoad(GuestMachine& machine, GuestPtr<uint32_t> varAddr);
// Releases the variable's old string and hands it the temporary; returns the stored handle.
Str txStrStore(GuestMachine& machine, GuestPtr<uint32_t> varAddr, StrArg temporary);
// Releases a string; 0 and handles of no live string are ignored.
void txStrRelease(uint32_t handle);
// Appends b to a in place and returns a.
Str txStrConcat(StrArg a, StrArg b);
// -1, 0 or 1: bytes compared as unsigned over the common length, then the shorter is smaller.
int32_t txStrCompare(StrArg a, StrArg b);
int32_t txStrToInt(StrArg text);
Str txStrFromInt(int32_t value);
float txStrToFloat(StrArg text);
Str txStrFromFloat(float value);

// The ten routines in registration order.
std::span<const CommandDef> stringSupportRoutines();

}  // namespace tx
