#include "guest_header.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "command_registry.h"
#include "signature.h"

namespace tx {
namespace {

constexpr uint32_t kResultIsAddress = 1;
constexpr uint32_t paramIsAddress(int index) {
    return 2u << index;
}

// Support routines whose 32-bit words are guest addresses, by link key (bits as in
// CommandDef::guestAddresses), for as long as their C++ types do not say so themselves: the
// registry's own bits are added to these, and the list goes once they cover it. Every key must
// name a registry entry.
struct AddressWords {
    std::string_view key;
    uint32_t bits;
};
constexpr uint32_t kP0 = paramIsAddress(0), kP1 = paramIsAddress(1), kP2 = paramIsAddress(2);
constexpr std::array kGuestAddressWords = {
    AddressWords{"__txDebugStmt", kP1},
    AddressWords{"__txDebugEnter", kP0 | kP1 | kP2},
    AddressWords{"__txStrConst", kP0},
    AddressWords{"__txStrLoad", kP0},
    AddressWords{"__txStrStore", kP0},
    AddressWords{"__txDimArray", kP0},
    AddressWords{"__txUndimArray", kP0},
    AddressWords{"__txVecAlloc", kResultIsAddress | kP0},
    AddressWords{"__txVecFree", kP0 | kP1},
    AddressWords{"__txObjNew", kResultIsAddress | kP0},
    AddressWords{"__txObjDelete", kP0},
    AddressWords{"__txObjDeleteEach", kP0},
    AddressWords{"__txObjRelease", kP0},
    AddressWords{"__txObjStore", kP0 | kP1},
    AddressWords{"__txObjCompare", kP0 | kP1},
    AddressWords{"__txObjNext", kResultIsAddress | kP0},
    AddressWords{"__txObjPrev", kResultIsAddress | kP0},
    AddressWords{"__txObjFirst", kResultIsAddress | kP0},
    AddressWords{"__txObjLast", kResultIsAddress | kP0},
    AddressWords{"__txObjInsBefore", kP0 | kP1},
    AddressWords{"__txObjInsAfter", kP0 | kP1},
    AddressWords{"__txObjEachFirst", kP0 | kP1},
    AddressWords{"__txObjEachNext", kP0},
    AddressWords{"__txObjToStr", kP0},
    AddressWords{"__txObjToHandle", kP0},
    AddressWords{"__txObjFromHandle", kResultIsAddress | kP1},
    AddressWords{"__txRestore", kP0},
};

uint32_t guestAddressBits(const CommandDef& def, std::string_view key) {
    uint32_t bits = def.guestAddresses;
    for (const AddressWords& entry : kGuestAddressWords)
        if (entry.key == key) bits |= entry.bits;
    return bits;
}

// Guest-address parameters are `const void*` so that any pointer passes, a string literal or a
// const record table included; results are `void*` so that they assign to any pointer.
const char* cType(char sigil, bool address, bool result) {
    if (address) return result ? "void*" : "const void*";
    switch (sigil) {
        case '%':
            return "int";
        case '#':
            return "float";
        case '$':
            return "txstr";
        default:
            return "void";
    }
}

bool isCKeyword(std::string_view word) {
    static constexpr std::string_view kKeywords[] = {
        "auto",          "break",      "case",      "char",
        "const",         "continue",   "default",   "do",
        "double",        "else",       "enum",      "extern",
        "float",         "for",        "goto",      "if",
        "inline",        "int",        "long",      "register",
        "restrict",      "return",     "short",     "signed",
        "sizeof",        "static",     "struct",    "switch",
        "typedef",       "union",      "unsigned",  "void",
        "volatile",      "while",      "asm",       "_Alignas",
        "_Alignof",      "_Atomic",    "_Bool",     "_Complex",
        "_Generic",      "_Imaginary", "_Noreturn", "_Static_assert",
        "_Thread_local", "txstr"};
    for (std::string_view keyword : kKeywords)
        if (word == keyword) return true;
    return false;
}

// A parameter name as a C identifier that cannot clash with a keyword or the header's types.
std::string cIdentifier(std::string_view name) {
    std::string id;
    for (char c : name) id += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    if (id.empty() || std::isdigit(static_cast<unsigned char>(id[0]))) id.insert(0, "p");
    if (isCKeyword(id)) id += '_';
    return id;
}

std::string prototype(const ParsedSignature& parsed, const CommandDef& def, std::string_view key) {
    const uint32_t addresses = guestAddressBits(def, key);
    // Commands are described by their signature (an alias differs from its routine in raw-word
    // sigils); support routines carry no sigils, so their C++ types describe them.
    const std::string_view routineSigils(def.sigils);
    const char resultSigil = parsed.internal ? routineSigils[0] : parsed.resultSigil;
    const size_t count = parsed.internal ? routineSigils.size() - 1 : parsed.params.size();

    std::string text = cType(resultSigil, (addresses & kResultIsAddress) != 0, true);
    text += ' ';
    text += parsed.name;
    text += '(';
    if (count == 0) text += "void";
    for (size_t i = 0; i < count; ++i) {
        if (i != 0) text += ", ";
        const bool address = (addresses & paramIsAddress(static_cast<int>(i))) != 0;
        if (parsed.internal) {
            text += cType(routineSigils[i + 1], address, false);
            text += " a" + std::to_string(i + 1);
            continue;
        }
        const SignatureParam& param = parsed.params[i];
        text += cType(param.sigil, address, false);
        text += ' ' + cIdentifier(param.name);
        if (param.defaultValue)
            text += param.sigil == '$' ? " /* = \"" + *param.defaultValue + "\" */"
                                       : " /* = " + *param.defaultValue + " */";
    }
    text += ')';
    return text;
}

// The command behind a registered address, or null for a data symbol.
const CommandDef* commandAt(uint32_t address) {
    if (address < layout::kThunkBase || address >= layout::kThunkBase + layout::kThunkAreaSize)
        return nullptr;
    const uint32_t offset = address - layout::kThunkBase;
    if (offset % layout::kThunkSize != 0) return nullptr;
    return CommandTable::instance().slot(offset / layout::kThunkSize);
}

}  // namespace

void writeSignatures(RuntimeInterface& runtime, std::ostream& out) {
    while (const char* signature = runtime.nextSymbol()) out << signature << '\n';
}

void writeGuestHeader(RuntimeInterface& runtime, std::ostream& out) {
    struct Entry {
        std::string signature;
        uint32_t address;
    };
    std::vector<Entry> entries;
    while (const char* signature = runtime.nextSymbol())
        entries.push_back({signature, runtime.symbolValue(signature)});

    out << "/* Generated by `txrun --c-header` from the command registry: do not edit.\n"
           " * Every command, support routine and data symbol of the runtime, in registry order,\n"
           " * under its link key. Include tervex.h, which defines txstr, rather than this. */\n"
           "#ifndef TERVEX_COMMANDS_H\n"
           "#define TERVEX_COMMANDS_H\n\n";
    for (const AddressWords& listed : kGuestAddressWords) {
        bool registered = false;
        for (const Entry& entry : entries)
            registered = registered || linkKey(entry.signature) == listed.key;
        if (!registered)
            throw std::logic_error("guest address list names no registry entry: " +
                                   std::string(listed.key));
    }
    for (const Entry& entry : entries) {
        const auto parsed = parseSignature(entry.signature);
        if (!parsed) throw std::logic_error("malformed signature: " + entry.signature);
        const std::string key = linkKey(entry.signature);
        const CommandDef* def = commandAt(entry.address);
        if (def == nullptr) {
            out << "extern int " << parsed->name << "[] __asm__(\"" << key << "\");\n";
            continue;
        }
        out << prototype(*parsed, *def, key) << " __asm__(\"" << key << "\");\n";
    }
    out << "\n#endif /* TERVEX_COMMANDS_H */\n";
}

}  // namespace tx
