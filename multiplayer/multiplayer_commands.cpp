#include "multiplayer_commands.h"

#include <algorithm>
#include <chrono>

#include "connection_dialog.h"
#include "host_runtime.h"
#include "message_payload.h"
#include "tx_error.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

// How long JoinNetGame waits for the machine at the address to name its games.
constexpr auto kJoinQueryWait = 1000ms;

void requireStarted(const MultiplayerState& state) {
    if (state.session == nullptr) runtimeError("Multiplayer game not started");
}

void requireNotStarted(const MultiplayerState& state) {
    if (state.session != nullptr) runtimeError("Multiplayer game already started");
}

NetPlayer* findPlayer(MultiplayerState& state, int32_t id) {
    auto it = std::ranges::find(state.players, id, &NetPlayer::id);
    return it != state.players.end() ? &*it : nullptr;
}

void forgetPlayer(MultiplayerState& state, int32_t id) {
    std::erase_if(state.players, [id](const NetPlayer& p) { return p.id == id; });
    std::erase(state.pendingJoins, id);
}

// Remote players the session knows and the program does not yet: known now, reported as joins
// by the next RecvNetMsg calls.
void learnRemotePlayers(MultiplayerState& state) {
    for (net::PlayerInfo& player : state.session->remotePlayers()) {
        if (findPlayer(state, player.id) != nullptr) continue;
        state.players.push_back({player.id, std::move(player.name), true});
        state.pendingJoins.push_back(player.id);
    }
}

// The end of every start: a fresh player list from the session, or 0 and no session.
int32_t openSession(MultiplayerState& state, std::unique_ptr<net::NetSession> session,
                    int32_t result) {
    state.players.clear();
    state.pendingJoins.clear();
    if (session == nullptr) result = 0;
    if (result == 0) return 0;
    state.session = std::move(session);
    learnRemotePlayers(state);
    state.isHost = result == 2;
    return result;
}

// Applies one event of the session: a message for the program (msgType set) or a change of
// the players only.
void takeEvent(MultiplayerState& state, net::SessionEvent& event) {
    using Kind = net::SessionEvent::Kind;
    switch (event.kind) {
        case Kind::PlayerCreated:
            if (findPlayer(state, event.player) == nullptr) {
                state.players.push_back({event.player, std::move(event.name), true});
                state.pendingJoins.push_back(event.player);
            }
            break;
        case Kind::PlayerDestroyed:
            forgetPlayer(state, event.player);
            state.msgFrom = event.player;
            state.msgType = kMsgPlayerLeft;
            break;
        case Kind::SessionLost:
            state.msgType = kMsgSessionLost;
            break;
        case Kind::BecameHost:
            if (!state.isHost) {
                state.isHost = true;
                state.msgType = kMsgBecameHost;
            }
            break;
        case Kind::Message: {
            const auto payload = net::decodePayload(event.payload);
            if (!payload) break;
            const NetPlayer* sender = findPlayer(state, payload->from);
            if (sender != nullptr && !sender->remote) break;  // a player of this machine
            state.msgData.assign(payload->text);
            state.msgFrom = payload->from;
            state.msgTo = payload->to;
            state.msgType = payload->type;  // 0 is never reported: the loop goes on
            break;
        }
    }
}

}  // namespace

void closeNetGame(MultiplayerState& state) {
    state.session.reset();
    state.players.clear();
    state.pendingJoins.clear();
}

int32_t startNetGame(MultiplayerState& state) {
    requireNotStarted(state);
    state.runtime.idle();
    net::DialogOutcome outcome = net::runConnectionDialog(state.runtime);
    if (outcome.mustEnd) endQuietly();
    const int32_t result = outcome.result == 1 || outcome.result == 2 ? outcome.result : 0;
    // A full-screen program the dialog suspended resumes.
    state.runtime.asyncRun();
    state.runtime.idle();
    return openSession(state, std::move(outcome.session), result);
}

int32_t hostNetGame(MultiplayerState& state, StrArg gameName) {
    requireNotStarted(state);
    return openSession(state, net::NetSession::host(gameName.view()), 2);
}

int32_t joinNetGame(MultiplayerState& state, StrArg gameName, StrArg address) {
    requireNotStarted(state);
    std::unique_ptr<net::NetSession> session;
    const auto games = net::findSessions(address.view(), kJoinQueryWait);
    for (const net::SessionListing& game : games.value_or(std::vector<net::SessionListing>{})) {
        if (game.name != gameName.view()) continue;
        session = net::NetSession::join(game);  // only the first game of the name is tried
        break;
    }
    return openSession(state, std::move(session), 1);
}

void stopNetGame(MultiplayerState& state) {
    closeNetGame(state);
}

int32_t createNetPlayer(MultiplayerState& state, StrArg name) {
    requireStarted(state);
    const int32_t id = state.session->createPlayer(name.view());
    if (id == 0) return 0;
    state.players.push_back({id, std::string(name.view()), false});
    if (state.players.size() == 1) learnRemotePlayers(state);
    return id;
}

void deleteNetPlayer(MultiplayerState& state, int32_t player) {
    requireStarted(state);
    if (findPlayer(state, player) == nullptr) return;
    state.session->destroyPlayer(player);
    forgetPlayer(state, player);
}

Str netPlayerName(MultiplayerState& state, int32_t player) {
    if (player == 0) return strNew("<all>");
    const NetPlayer* known = findPlayer(state, player);
    return strNew(known != nullptr ? std::string_view(known->name) : "<unknown>");
}

int32_t netPlayerLocal(MultiplayerState& state, int32_t player) {
    const NetPlayer* known = findPlayer(state, player);
    return known != nullptr && !known->remote ? 1 : 0;
}

int32_t sendNetMsg(MultiplayerState& state, int32_t type, StrArg msg, int32_t fromPlayer,
                   int32_t toPlayer, int32_t reliable) {
    requireStarted(state);
    const auto payload =
        net::encodePayload(state.sendBuffer, fromPlayer, toPlayer, type, msg.view());
    return state.session->send(fromPlayer, toPlayer, reliable != 0, payload) ? 1 : 0;
}

int32_t recvNetMsg(MultiplayerState& state) {
    requireStarted(state);
    state.msgType = 0;
    state.msgData.clear();
    state.msgFrom = -1;
    state.msgTo = 0;
    for (;;) {
        if (state.msgType != 0) return 1;
        if (!state.pendingJoins.empty()) {
            state.msgFrom = state.pendingJoins.front();
            state.pendingJoins.pop_front();
            state.msgType = kMsgPlayerJoined;
            return 1;
        }
        std::optional<net::SessionEvent> event = state.session->receive();
        if (!event) return 0;
        takeEvent(state, *event);
    }
}

int32_t netMsgType(MultiplayerState& state) {
    return state.msgType;
}

Str netMsgData(MultiplayerState& state) {
    return strNew(state.msgData);
}

int32_t netMsgFrom(MultiplayerState& state) {
    return state.msgFrom;
}

int32_t netMsgTo(MultiplayerState& state) {
    return state.msgTo;
}

}  // namespace tx
