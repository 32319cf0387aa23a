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
#include "handle.h"
#include "handle_table.h"
#include "object_table.h"
#include "tx_stream.h"

namespace tx {

// The bank module's state: every live bank.
struct BankModule {
    static constexpr const char* kModuleName = "bank";
    ObjectTable<Bank> banks{handle_kind::kBank};
};

template <>
struct HandleKind<Bank> {
    static constexpr HandleKindInfo info{"Bank", handle_kind::kBank, "txBank does not exist"};
    static Bank* find(uint32_t handle);
};

using BankHandle = Handle<Bank>;

uint32_t createBank(BankModule& module, int32_t size);
// Handles that name no bank are ignored, even with debug set.
void freeBank(BankModule& module, Handle<Bank, HandleCheck::Lenient> bank);
int32_t bankSize(BankHandle bank);
void resizeBank(BankHandle bank, int32_t size);
// Overlapping ranges copy as if through a temporary buffer.
// The destination is looked up after the source range is checked.
void copyBank(BankHandle srcBank, int32_t srcOffset, DeferredHandle<Bank> destBank,
              int32_t destOffset, int32_t count);
int32_t peekByte(BankHandle bank, int32_t offset);   // 0..255
int32_t peekShort(BankHandle bank, int32_t offset);  // 0..65535
int32_t peekInt(BankHandle bank, int32_t offset);
float peekFloat(BankHandle bank, int32_t offset);
void pokeByte(BankHandle bank, int32_t offset, int32_t value);
void pokeShort(BankHandle bank, int32_t offset, int32_t value);
void pokeInt(BankHandle bank, int32_t offset, int32_t value);
void pokeFloat(BankHandle bank, int32_t offset, float value);
// Up to count bytes from the stream into the bank at offset; returns how many arrived (the rest
// of the range keeps its bytes). The stream is looked up after the bank range is checked.
int32_t readBytes(BankHandle bank, DeferredHandle<TxStream> stream, int32_t offset, int32_t count);
// count bytes of the bank at offset to the stream; returns how many were written.
int32_t writeBytes(BankHandle bank, DeferredHandle<TxStream> stream, int32_t offset, int32_t count);

}  // namespace tx
