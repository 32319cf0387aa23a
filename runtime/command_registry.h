// The command registry: (signature, address) entries that compiled code links against, the
// process-wide table of thunk slots behind those addresses, and the registrar that link
// functions fill both through.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "command.h"
#include "guest_layout.h"

namespace tx {

class CommandTable;

// What each module's link function receives. `add` gives the command a thunk address (the same
// function registered twice shares one) and hands (signature, address) to registerCommand.
class CommandRegistrar {
public:
    using RegisterCommand = void (*)(void* context, const char* signature, GuestAddr address);

    // Registers into a registry: addresses come from an existing table.
    CommandRegistrar(const CommandTable& table, RegisterCommand registerCommand, void* context)
        : table_(&table), registerCommand_(registerCommand), context_(context) {}
    // Builds a table: each new function gets the next thunk slot.
    explicit CommandRegistrar(CommandTable& building) : table_(&building), building_(&building) {}

    void add(const CommandDef& def);
    template <size_t N>
    void add(const CommandDef (&defs)[N]) {
        for (const CommandDef& def : defs) add(def);
    }
    // Registers def's routine a second time under another signature, sharing its thunk address.
    // The two signatures may differ only in parameters that reach the routine as the same raw
    // 4-byte word ('%' and '#'); the result sigil and string parameters must agree. For routines
    // that only move the bits, such as one writer for an int and a float. Throws std::logic_error
    // when the signature does not parse or does not fit the routine.
    void alias(const CommandDef& def, const char* signature);
    void addData(const char* signature, GuestAddr address) {
        if (registerCommand_ != nullptr) registerCommand_(context_, signature, address);
    }

private:
    const CommandTable* table_;
    CommandTable* building_ = nullptr;
    RegisterCommand registerCommand_ = nullptr;
    void* context_ = nullptr;
};

// A link function per module; the basic module's calls the others in module order.
using LinkFunction = void (*)(CommandRegistrar&);
void linkBasic(CommandRegistrar& registrar);

// Thunk slots, built once per process by running the link functions. Slot 0 is the return stub.
class CommandTable {
public:
    // The table of linkBasic (defined with the module list).
    static const CommandTable& instance();

    uint32_t slotCount() const { return static_cast<uint32_t>(slots_.size()); }
    // Null for slot 0 and out-of-range slots.
    const CommandDef* slot(uint32_t index) const {
        return index != 0 && index < slots_.size() ? &slots_[index] : nullptr;
    }
    GuestAddr addressOf(const CommandDef& def) const;

    // Builds a table from any link function (tests use small ones). Throws std::logic_error when
    // a signature does not parse or its sigils disagree with the function's C++ type.
    explicit CommandTable(LinkFunction link);

private:
    friend class CommandRegistrar;
    GuestAddr assign(const CommandDef& def);

    std::vector<CommandDef> slots_;
    std::unordered_map<CommandDispatch, uint32_t> slotOfDispatch_;
};

// The registry that the runtime interface enumerates: filled on demand, emptied after use.
class CommandRegistry {
public:
    CommandRegistry() : CommandRegistry(&linkBasic, CommandTable::instance()) {}
    CommandRegistry(LinkFunction link, const CommandTable& table) : link_(link), table_(table) {}

    // The next signature, or null (and the registry empties) after the last entry.
    const char* nextSymbol();
    // The address registered with that signature, or 0xFFFFFFFF.
    uint32_t symbolValue(std::string_view signature) const;
    void clear();
    bool empty() const { return entries_.empty(); }
    size_t size() const { return entries_.size(); }

    void fill();
    const std::vector<std::pair<const char*, GuestAddr>>& entries() const { return entries_; }

private:
    static void registerCommand(void* context, const char* signature, GuestAddr address);

    LinkFunction link_;
    const CommandTable& table_;
    std::vector<std::pair<const char*, GuestAddr>> entries_;
    std::unordered_map<std::string_view, GuestAddr> bySignature_;
    size_t cursor_ = 0;
};

}  // namespace tx
