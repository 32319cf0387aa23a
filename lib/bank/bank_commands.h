// The bank commands: creating, sizing and copying banks, values at byte offsets (little-endian),
// and transfers between banks and streams.
//
// With the debug flag set a handle that names no bank raises "txBank does not exist" and a range
// that does not lie inside the bank raises "Offset out of range" (negative offsets and counts
// included). With it clear such calls do nothing: reads give 0, nothing outside a bank is read
// or written.
#pragma once

#include <cstdint>

#include "bank.h"
#include "owned_handles.h"

namespace tx {

// The module's banks; null while the module does not exist.
OwnedHandles<Bank>* openBanks();

uint32_t createBank(int32_t size);
void freeBank(uint32_t bank);  // handles that name no bank are ignored, even with debug set
int32_t bankSize(uint32_t bank);
void resizeBank(uint32_t bank, int32_t size);
// Overlapping ranges copy as if through a temporary buffer.
void copyBank(uint32_t srcBank, int32_t srcOffset, uint32_t destBank, int32_t destOffset,
              int32_t count);
int32_t peekByte(uint32_t bank, int32_t offset);   // 0..255
int32_t peekShort(uint32_t bank, int32_t offset);  // 0..65535
int32_t peekInt(uint32_t bank, int32_t offset);
float peekFloat(uint32_t bank, int32_t offset);
void pokeByte(uint32_t bank, int32_t offset, int32_t value);
void pokeShort(uint32_t bank, int32_t offset, int32_t value);
void pokeInt(uint32_t bank, int32_t offset, int32_t value);
void pokeFloat(uint32_t bank, int32_t offset, float value);
// Up to count bytes from the stream into the bank at offset; returns how many arrived (the rest
// of the range keeps its bytes).
int32_t readBytes(uint32_t bank, uint32_t stream, int32_t offset, int32_t count);
// count bytes of the bank at offset to the stream; returns how many were written.
int32_t writeBytes(uint32_t bank, uint32_t stream, int32_t offset, int32_t count);

}  // namespace tx
