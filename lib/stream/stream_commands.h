// The generic stream commands: binary values, strings and text lines on any stream.
//
// Byte formats (little-endian): byte = 1 byte, short = 2 bytes, int and float = 4 bytes, string
// = 4-byte length then the bytes, line = the bytes then CR LF. Reads past the end give zeros and
// empty strings. A handle that names no live stream raises "Stream does not exist" when the debug
// flag is set; otherwise the command does nothing (reads give 0 or "", Eof gives 1).
#pragma once

#include <cstdint>

#include "tx_stream.h"
#include "tx_string.h"

namespace tx {

// The live stream a handle names. Null when there is none, after raising "Stream does not exist"
// when the debug flag is set.
TxStream* streamArgument(uint32_t handle);

int32_t streamEof(uint32_t stream);
int32_t streamReadAvail(uint32_t stream);
int32_t readByte(uint32_t stream);
int32_t readShort(uint32_t stream);
int32_t readInt(uint32_t stream);
float readFloat(uint32_t stream);
Str readString(uint32_t stream);
Str readLine(uint32_t stream);
void writeByte(uint32_t stream, int32_t value);
void writeShort(uint32_t stream, int32_t value);
// Writes the four bytes of its argument as they are: an int, or the bits of a float (the float
// command is this same routine registered under a second signature).
void writeInt(uint32_t stream, int32_t value);
void writeString(uint32_t stream, StrArg text);
void writeLine(uint32_t stream, StrArg text);
void copyStream(uint32_t source, uint32_t destination, int32_t bufferSize);

inline constexpr int32_t kMaxCopyBuffer = 1024 * 1024;

}  // namespace tx
