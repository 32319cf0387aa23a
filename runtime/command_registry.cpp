#include "command_registry.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "signature.h"

namespace tx {
namespace {

char sigilOrDash(char sigil) {
    return sigil == 0 ? '-' : sigil;
}

// Throws when the signature does not describe the C++ function behind it.
void verifySignature(const CommandDef& def) {
    const auto parsed = parseSignature(def.signature);
    if (!parsed) throw std::logic_error(std::string("malformed signature: ") + def.signature);
    if (parsed->internal) return;  // support routines carry no sigils
    std::string expected(1, sigilOrDash(parsed->resultSigil));
    for (const auto& p : parsed->params) expected += p.sigil;
    if (expected != def.sigils)
        throw std::logic_error(std::string("signature ") + def.signature +
                               " does not match its function (" + def.sigils + ")");
}

// Parameters the dispatcher hands over as one raw 4-byte word with nothing to release.
bool isRawWord(char sigil) {
    return sigil == '%' || sigil == '#';
}

// Throws unless the alias signature describes the same routine up to raw-word parameters.
void verifyAlias(const CommandDef& def, const char* signature) {
    const auto parsed = parseSignature(signature);
    if (!parsed || parsed->internal)
        throw std::logic_error(std::string("malformed alias signature: ") + signature);
    const std::string_view sigils(def.sigils);
    bool fits =
        sigils.size() == parsed->params.size() + 1 && sigilOrDash(parsed->resultSigil) == sigils[0];
    for (size_t i = 0; fits && i < parsed->params.size(); ++i) {
        const char wanted = parsed->params[i].sigil;
        const char actual = sigils[i + 1];
        fits = wanted == actual || (isRawWord(wanted) && isRawWord(actual));
    }
    if (!fits)
        throw std::logic_error(std::string("alias ") + signature + " does not fit " +
                               def.signature);
}

}  // namespace

void CommandRegistrar::alias(const CommandDef& def, const char* signature) {
    verifyAlias(def, signature);
    const GuestAddr address =
        building_ != nullptr ? building_->assign(def) : table_->addressOf(def);
    if (address == 0) throw std::logic_error(std::string("unknown command: ") + def.signature);
    if (registerCommand_ != nullptr) registerCommand_(context_, signature, address);
}

void CommandRegistrar::add(const CommandDef& def) {
    const GuestAddr address =
        building_ != nullptr ? building_->assign(def) : table_->addressOf(def);
    if (address == 0) throw std::logic_error(std::string("unknown command: ") + def.signature);
    if (registerCommand_ != nullptr) registerCommand_(context_, def.signature, address);
}

CommandTable::CommandTable(LinkFunction link) {
    slots_.push_back(CommandDef{"", nullptr, "-", ResultKind::None, 0});  // the return stub
    CommandRegistrar registrar(*this);
    link(registrar);
    if (slots_.size() > layout::kThunkCount) throw std::logic_error("too many commands");
}

GuestAddr CommandTable::assign(const CommandDef& def) {
    if (auto it = slotOfDispatch_.find(def.dispatch); it != slotOfDispatch_.end())
        return layout::thunkAddress(it->second);
    verifySignature(def);
    const auto index = static_cast<uint32_t>(slots_.size());
    slots_.push_back(def);
    slotOfDispatch_.emplace(def.dispatch, index);
    return layout::thunkAddress(index);
}

GuestAddr CommandTable::addressOf(const CommandDef& def) const {
    auto it = slotOfDispatch_.find(def.dispatch);
    return it == slotOfDispatch_.end() ? 0 : layout::thunkAddress(it->second);
}

void CommandRegistry::registerCommand(void* context, const char* signature, GuestAddr address) {
    auto* self = static_cast<CommandRegistry*>(context);
    self->entries_.emplace_back(signature, address);
    self->bySignature_[signature] = address;
}

void CommandRegistry::fill() {
    clear();
    CommandRegistrar registrar(table_, &registerCommand, this);
    link_(registrar);
}

const char* CommandRegistry::nextSymbol() {
    if (entries_.empty()) fill();
    if (cursor_ >= entries_.size()) {
        clear();
        return nullptr;
    }
    return entries_[cursor_++].first;
}

uint32_t CommandRegistry::symbolValue(std::string_view signature) const {
    auto it = bySignature_.find(signature);
    return it == bySignature_.end() ? 0xFFFF'FFFFu : it->second;
}

void CommandRegistry::clear() {
    entries_.clear();
    bySignature_.clear();
    cursor_ = 0;
}

}  // namespace tx
