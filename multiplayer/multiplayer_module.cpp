// The multiplayer module: registers its 14 commands last; it is created last and destroyed
// first, closing any game still started.
#include "multiplayer_module.h"

#include <memory>

#include "command.h"
#include "module_state.h"
#include "multiplayer_commands.h"

namespace tx {
namespace {

constexpr CommandDef kMultiplayerCommands[] = {
    command<startNetGame>("%StartNetGame"),
    command<hostNetGame>("%HostNetGame$game_name"),
    command<joinNetGame>("%JoinNetGame$game_name$ip_address"),
    command<stopNetGame>("StopNetGame"),
    command<createNetPlayer>("%CreateNetPlayer$name"),
    command<deleteNetPlayer>("DeleteNetPlayer%player"),
    command<netPlayerName>("$NetPlayerName%player"),
    command<netPlayerLocal>("%NetPlayerLocal%player"),
    command<sendNetMsg>("%SendNetMsg%type$msg%from_player%to_player=0%reliable=1"),
    command<recvNetMsg>("%RecvNetMsg"),
    command<netMsgType>("%NetMsgType"),
    command<netMsgData>("$NetMsgData"),
    command<netMsgFrom>("%NetMsgFrom"),
    command<netMsgTo>("%NetMsgTo"),
};

}  // namespace

void linkMultiplayer(CommandRegistrar& registrar) {
    registrar.add(kMultiplayerCommands);
}

bool multiplayerCreate() {
    ModuleState<MultiplayerState>::open(std::make_unique<MultiplayerState>(theRuntime()));
    return true;
}

void multiplayerDestroy() {
    if (MultiplayerState* state = ModuleState<MultiplayerState>::find()) closeNetGame(*state);
    ModuleState<MultiplayerState>::close();
}

}  // namespace tx
