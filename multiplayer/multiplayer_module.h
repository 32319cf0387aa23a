// The multiplayer module: sessions, players and messages between machines.
#pragma once

#include "basic_module.h"

namespace tx {

void linkMultiplayer(CommandRegistrar& registrar);
bool multiplayerCreate();
void multiplayerDestroy();
inline constexpr LibraryModule kMultiplayerModule{"multiplay", &linkMultiplayer, &multiplayerCreate,
                                                  &multiplayerDestroy};

}  // namespace tx
