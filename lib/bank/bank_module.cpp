// The bank module: raw memory blocks the program addresses by handle and byte offset.
#include <memory>

#include "bank_commands.h"
#include "bank_module.h"
#include "command.h"

namespace tx {
namespace {

constexpr CommandDef kBankCommands[] = {
    command<createBank>("%CreateBank%size=0"),
    command<freeBank>("FreeBank%bank"),
    command<bankSize>("%BankSize%bank"),
    command<resizeBank>("ResizeBank%bank%size"),
    command<copyBank>("CopyBank%src_bank%src_offset%dest_bank%dest_offset%count"),
    command<peekByte>("%PeekByte%bank%offset"),
    command<peekShort>("%PeekShort%bank%offset"),
    command<peekInt>("%PeekInt%bank%offset"),
    command<peekFloat>("#PeekFloat%bank%offset"),
    command<pokeByte>("PokeByte%bank%offset%value"),
    command<pokeShort>("PokeShort%bank%offset%value"),
    command<pokeInt>("PokeInt%bank%offset%value"),
    command<pokeFloat>("PokeFloat%bank%offset#value"),
    command<readBytes>("%ReadBytes%bank%file%offset%count"),
    command<writeBytes>("%WriteBytes%bank%file%offset%count"),
};

}  // namespace

void linkBank(CommandRegistrar& registrar) {
    registrar.add(kBankCommands);
}

bool bankCreate() {
    ModuleState<BankModule>::open(std::make_unique<BankModule>());
    return true;
}

// Frees every bank still alive.
void bankDestroy() {
    ModuleState<BankModule>::close();
}

}  // namespace tx
