#include "bank_commands.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "basic_module.h"
#include "module_state.h"
#include "stream_commands.h"
#include "tx_error.h"

namespace tx {
namespace {

// The bank's bytes [offset, offset + count), or null when the bank or the range is not there.
uint8_t* bankRange(Bank* bank, int32_t offset, int32_t count) {
    if (bank == nullptr) return nullptr;
    if (!bank->holds(offset, count)) {
        if (debugEnabled()) runtimeError("Offset out of range");
        return nullptr;
    }
    return bank->data() + offset;
}

uint32_t peek(const BankHandle& bank, int32_t offset, int32_t width) {
    const uint8_t* p = bankRange(bank.get(), offset, width);
    if (p == nullptr) return 0;
    uint32_t value = 0;
    for (int32_t i = width; i-- > 0;) value = value << 8 | p[i];
    return value;
}

void poke(const BankHandle& bank, int32_t offset, uint32_t value, int32_t width) {
    uint8_t* p = bankRange(bank.get(), offset, width);
    if (p == nullptr) return;
    for (int32_t i = 0; i < width; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

Bank* HandleKind<Bank>::find(uint32_t handle) {
    const BankModule* module = ModuleState<BankModule>::find();
    return module != nullptr ? module->banks.find(handle) : nullptr;
}

uint32_t createBank(BankModule& module, int32_t size) {
    return module.banks.insert(std::make_unique<Bank>(size));
}

void freeBank(BankModule& module, Handle<Bank, HandleCheck::Lenient> bank) {
    if (bank) module.banks.erase(bank.raw());
}

int32_t bankSize(BankHandle bank) {
    return bank ? bank->size() : 0;
}

void resizeBank(BankHandle bank, int32_t size) {
    if (bank) bank->resize(size);
}

void copyBank(BankHandle srcBank, int32_t srcOffset, DeferredHandle<Bank> destBank,
              int32_t destOffset, int32_t count) {
    const uint8_t* source = bankRange(srcBank.get(), srcOffset, count);
    if (source == nullptr) return;
    uint8_t* destination = bankRange(destBank.resolve(), destOffset, count);
    if (destination == nullptr) return;
    std::memmove(destination, source, static_cast<size_t>(count));
}

int32_t peekByte(BankHandle bank, int32_t offset) {
    return static_cast<int32_t>(peek(bank, offset, 1));
}
int32_t peekShort(BankHandle bank, int32_t offset) {
    return static_cast<int32_t>(peek(bank, offset, 2));
}
int32_t peekInt(BankHandle bank, int32_t offset) {
    return static_cast<int32_t>(peek(bank, offset, 4));
}
float peekFloat(BankHandle bank, int32_t offset) {
    return std::bit_cast<float>(peek(bank, offset, 4));
}

void pokeByte(BankHandle bank, int32_t offset, int32_t value) {
    poke(bank, offset, static_cast<uint32_t>(value), 1);
}
void pokeShort(BankHandle bank, int32_t offset, int32_t value) {
    poke(bank, offset, static_cast<uint32_t>(value), 2);
}
void pokeInt(BankHandle bank, int32_t offset, int32_t value) {
    poke(bank, offset, static_cast<uint32_t>(value), 4);
}
void pokeFloat(BankHandle bank, int32_t offset, float value) {
    poke(bank, offset, std::bit_cast<uint32_t>(value), 4);
}

int32_t readBytes(BankHandle bank, DeferredHandle<TxStream> stream, int32_t offset, int32_t count) {
    uint8_t* p = bankRange(bank.get(), offset, count);
    if (p == nullptr) return 0;
    TxStream* source = stream.resolve();
    if (source == nullptr || count == 0) return 0;
    return std::clamp(source->read(p, count), 0, count);
}

int32_t writeBytes(BankHandle bank, DeferredHandle<TxStream> stream, int32_t offset,
                   int32_t count) {
    const uint8_t* p = bankRange(bank.get(), offset, count);
    if (p == nullptr) return 0;
    TxStream* destination = stream.resolve();
    if (destination == nullptr || count == 0) return 0;
    return destination->write(p, count);
}

}  // namespace tx
