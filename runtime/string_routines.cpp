#include "string_routines.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "guest_machine.h"
#include "number_text.h"
#include "string_pool.h"
#include "tx_error.h"

namespace tx {

Str txStrConst(GuestMachine& machine, GuestPtr<const char> literalAddrPtr) {
    const GuestAddr literalAddr = literalAddrPtr.address();
    return strNew(machine.memory().cString(literalAddr));
}

Str txStrLoad(GuestMachine& machine, GuestPtr<uint32_t> varAddrPtr) {
    const GuestAddr varAddr = varAddrPtr.address();
    return strNew(strText(machine.memory().read<uint32_t>(varAddr)));
}

Str txStrStore(GuestMachine& machine, GuestPtr<uint32_t> varAddrPtr, StrArg temporary) {
    const GuestAddr varAddr = varAddrPtr.address();
    GuestMemory& memory = machine.memory();
    // Both accesses come first: a bad address ends the program before ownership changes.
    const uint32_t old = memory.read<uint32_t>(varAddr);
    memory.write<uint32_t>(varAddr, temporary.handle());
    // Storing the string a variable already holds must not free it.
    if (old != temporary.handle()) strRelease(old);
    return temporary.release();
}

void txStrRelease(uint32_t handle) {
    strRelease(handle);
}

Str txStrConcat(StrArg a, StrArg b) {
    std::string* text = stringPool().mutableText(a.handle());
    // A left operand that names no live string reads as empty: the result is a copy of b.
    if (text == nullptr) return strNew(b.view());
    // The program ends before a result past the cap is built.
    if (text->size() + b.view().size() > kMaxStringBytes) runtimeError("Out of string memory");
    if (b.handle() == a.handle()) {
        // The same string on both sides is doubled, and released only once (as the result).
        text->append(*text);
        b.release();
    } else {
        text->append(b.view());
    }
    return a.release();
}

int32_t txStrCompare(StrArg a, StrArg b) {
    const std::string_view x = a.view(), y = b.view();
    const size_t common = std::min(x.size(), y.size());
    const int order = common == 0 ? 0 : std::memcmp(x.data(), y.data(), common);
    if (order != 0) return order < 0 ? -1 : 1;
    if (x.size() == y.size()) return 0;
    return x.size() < y.size() ? -1 : 1;
}

int32_t txStrToInt(StrArg text) {
    return parseInt(text.view());
}

Str txStrFromInt(int32_t value) {
    return strNew(formatInt(value));
}

float txStrToFloat(StrArg text) {
    return parseFloat(text.view());
}

Str txStrFromFloat(float value) {
    return strNew(formatFloat(value));
}

namespace {

constexpr CommandDef kRoutines[] = {
    command<txStrLoad>("_txStrLoad"),           command<txStrRelease>("_txStrRelease"),
    command<txStrStore>("_txStrStore"),         command<txStrCompare>("_txStrCompare"),
    command<txStrConcat>("_txStrConcat"),       command<txStrToInt>("_txStrToInt"),
    command<txStrFromInt>("_txStrFromInt"),     command<txStrToFloat>("_txStrToFloat"),
    command<txStrFromFloat>("_txStrFromFloat"), command<txStrConst>("_txStrConst"),
};

}  // namespace

std::span<const CommandDef> stringSupportRoutines() {
    return kRoutines;
}

}  // namespace tx
