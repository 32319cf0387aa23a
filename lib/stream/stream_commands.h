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

// A stream that does not exist has nothing more to give: Eof gives 1, so read loops end.
int32_t streamEof(StreamHandle stream);
int32_t streamReadAvail(StreamHandle stream);
int32_t readByte(StreamHandle stream);
int32_t readShort(StreamHandle stream);
int32_t readInt(StreamHandle stream);
float readFloat(StreamHandle stream);
Str readString(StreamHandle stream);
Str readLine(StreamHandle stream);
void writeByte(StreamHandle stream, int32_t value);
void writeShort(StreamHandle stream, int32_t value);
// Writes the four bytes of its argument as they are: an int, or the bits of a float (the float
// command is this same routine registered under a second signature).
void writeInt(StreamHandle stream, int32_t value);
void writeString(StreamHandle stream, StrArg text);
void writeLine(StreamHandle stream, StrArg text);
void copyStream(StreamHandle source, StreamHandle destination, int32_t bufferSize);

inline constexpr int32_t kMaxCopyBuffer = 1024 * 1024;

}  // namespace tx
