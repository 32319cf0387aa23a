// The multiplayer commands: starting a game (the connection dialog, hosting, joining), players,
// and typed messages with the session's own events as reserved types: 100 a remote player
// joined, 101 a player left, 102 this machine became the host, 200 the session was lost.
// Starting a started game, or using a game that is not started, ends the program whatever the
// debug flag.
#pragma once

#include <cstdint>

#include "multiplayer_state.h"
#include "tx_string.h"

namespace tx {

inline constexpr int32_t kMsgPlayerJoined = 100;
inline constexpr int32_t kMsgPlayerLeft = 101;
inline constexpr int32_t kMsgBecameHost = 102;
inline constexpr int32_t kMsgSessionLost = 200;

int32_t startNetGame(MultiplayerState& state);
int32_t hostNetGame(MultiplayerState& state, StrArg gameName);
int32_t joinNetGame(MultiplayerState& state, StrArg gameName, StrArg address);
void stopNetGame(MultiplayerState& state);
int32_t createNetPlayer(MultiplayerState& state, StrArg name);
void deleteNetPlayer(MultiplayerState& state, int32_t player);
Str netPlayerName(MultiplayerState& state, int32_t player);
int32_t netPlayerLocal(MultiplayerState& state, int32_t player);
int32_t sendNetMsg(MultiplayerState& state, int32_t type, StrArg msg, int32_t fromPlayer,
                   int32_t toPlayer, int32_t reliable);
int32_t recvNetMsg(MultiplayerState& state);
int32_t netMsgType(MultiplayerState& state);
Str netMsgData(MultiplayerState& state);
int32_t netMsgFrom(MultiplayerState& state);
int32_t netMsgTo(MultiplayerState& state);

// Closes the session, if any, and forgets every player.
void closeNetGame(MultiplayerState& state);

}  // namespace tx
