// The string commands: repetition, slicing, search and replace, case, trimming, padding,
// character codes, hexadecimal and binary text, and the local date and time.
//
// Positions the program sees are 1-based and count bytes. Commands that return a changed copy of
// their string argument change that pool string in place and hand it back as the result.
#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>

#include "command.h"
#include "tx_string.h"

namespace tx {

Str stringRepeat(StrArg string, int32_t repeat);
Str stringLeft(StrArg string, int32_t count);
Str stringRight(StrArg string, int32_t count);
// Every occurrence of from, left to right without overlaps, replaced by to. An empty from
// leaves the string unchanged.
Str stringReplace(StrArg string, StrArg from, StrArg to);
int32_t stringInstr(StrArg string, StrArg find, int32_t from);
Str stringMid(StrArg string, int32_t start, int32_t count);
Str stringUpper(StrArg string);
Str stringLower(StrArg string);
// Removes bytes 0..32 and 127 from both ends; bytes 128..255 count as text and stay, so text
// in UTF-8 or Latin-1 keeps its last character.
Str stringTrim(StrArg string);
Str stringLSet(StrArg string, int32_t size);
Str stringRSet(StrArg string, int32_t size);
Str stringChr(int32_t ascii);
int32_t stringAsc(StrArg string);
int32_t stringLen(StrArg string);
Str stringHex(int32_t value);
Str stringBin(int32_t value);
Str currentDate();
Str currentTime();

// "05 Dec 2026" and "09:05:31" with English month names whatever the process's locale.
std::string formatDate(const std::tm& time);
std::string formatTime(const std::tm& time);

// The eighteen commands in registration order.
std::span<const CommandDef> stringCommands();

}  // namespace tx
