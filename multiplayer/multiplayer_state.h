// The multiplayer module's state: the open session, if a game is started, and what the program
// has learnt through it: the known players, the joins not yet reported, the last message.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "net_session.h"

namespace tx {

class HostRuntime;

struct NetPlayer {
    int32_t id = 0;
    std::string name;
    bool remote = false;  // lives on another machine
};

struct MultiplayerState {
    static constexpr const char* kModuleName = "multiplay";
    explicit MultiplayerState(HostRuntime& runtime) : runtime(runtime) {}

    HostRuntime& runtime;
    std::unique_ptr<net::NetSession> session;  // a game is started exactly while this is set
    bool isHost = false;
    std::vector<NetPlayer> players;    // in the order they became known
    std::deque<int32_t> pendingJoins;  // remote players not yet reported
    int32_t msgType = 0;
    std::string msgData;
    int32_t msgFrom = 0;
    int32_t msgTo = 0;
    std::vector<uint8_t> sendBuffer = std::vector<uint8_t>(1024);
};

}  // namespace tx
