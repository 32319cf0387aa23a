#include "bank_commands.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "basic_module.h"
#include "stream_commands.h"
#include "tx_error.h"

namespace tx {
namespace {

Bank* bankArgument(uint32_t handle) {
    OwnedHandles<Bank>* banks = openBanks();
    Bank* bank = banks != nullptr ? banks->find(handle) : nullptr;
    if (bank == nullptr && debugEnabled()) runtimeError("txBank does not exist");
    return bank;
}

// The bank's bytes [offset, offset + count), or null when the bank or the range is not there.
uint8_t* bankRange(uint32_t handle, int32_t offset, int32_t count) {
    Bank* bank = bankArgument(handle);
    if (bank == nullptr) return nullptr;
    if (!bank->holds(offset, count)) {
        if (debugEnabled()) runtimeError("Offset out of range");
        return nullptr;
    }
    return bank->data() + offset;
}

uint32_t peek(uint32_t bank, int32_t offset, int32_t width) {
    const uint8_t* p = bankRange(bank, offset, width);
    if (p == nullptr) return 0;
    uint32_t value = 0;
    for (int32_t i = width; i-- > 0;) value = value << 8 | p[i];
    return value;
}

void poke(uint32_t bank, int32_t offset, uint32_t value, int32_t width) {
    uint8_t* p = bankRange(bank, offset, width);
    if (p == nullptr) return;
    for (int32_t i = 0; i < width; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

uint32_t createBank(int32_t size) {
    OwnedHandles<Bank>* banks = openBanks();
    return banks != nullptr ? banks->insert(std::make_unique<Bank>(size)) : 0;
}

void freeBank(uint32_t bank) {
    if (OwnedHandles<Bank>* banks = openBanks()) banks->erase(bank);
}

int32_t bankSize(uint32_t handle) {
    const Bank* bank = bankArgument(handle);
    return bank != nullptr ? bank->size() : 0;
}

void resizeBank(uint32_t handle, int32_t size) {
    if (Bank* bank = bankArgument(handle)) bank->resize(size);
}

void copyBank(uint32_t srcBank, int32_t srcOffset, uint32_t destBank, int32_t destOffset,
              int32_t count) {
    const uint8_t* source = bankRange(srcBank, srcOffset, count);
    if (source == nullptr) return;
    uint8_t* destination = bankRange(destBank, destOffset, count);
    if (destination == nullptr) return;
    std::memmove(destination, source, static_cast<size_t>(count));
}

int32_t peekByte(uint32_t bank, int32_t offset) {
    return static_cast<int32_t>(peek(bank, offset, 1));
}
int32_t peekShort(uint32_t bank, int32_t offset) {
    return static_cast<int32_t>(peek(bank, offset, 2));
}
int32_t peekInt(uint32_t bank, int32_t offset) {
    return static_cast<int32_t>(peek(bank, offset, 4));
}
float peekFloat(uint32_t bank, int32_t offset) {
    return std::bit_cast<float>(peek(bank, offset, 4));
}

void pokeByte(uint32_t bank, int32_t offset, int32_t value) {
    poke(bank, offset, static_cast<uint32_t>(value), 1);
}
void pokeShort(uint32_t bank, int32_t offset, int32_t value) {
    poke(bank, offset, static_cast<uint32_t>(value), 2);
}
void pokeInt(uint32_t bank, int32_t offset, int32_t value) {
    poke(bank, offset, static_cast<uint32_t>(value), 4);
}
void pokeFloat(uint32_t bank, int32_t offset, float value) {
    poke(bank, offset, std::bit_cast<uint32_t>(value), 4);
}

int32_t readBytes(uint32_t bank, uint32_t stream, int32_t offset, int32_t count) {
    uint8_t* p = bankRange(bank, offset, count);
    if (p == nullptr) return 0;
    TxStream* source = streamArgument(stream);
    if (source == nullptr || count == 0) return 0;
    return std::clamp(source->read(p, count), 0, count);
}

int32_t writeBytes(uint32_t bank, uint32_t stream, int32_t offset, int32_t count) {
    const uint8_t* p = bankRange(bank, offset, count);
    if (p == nullptr) return 0;
    TxStream* destination = streamArgument(stream);
    if (destination == nullptr || count == 0) return 0;
    return destination->write(p, count);
}

}  // namespace tx
