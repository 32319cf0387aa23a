// NetSession: the program's handle on a session, run by SessionCore.
#include "net_session.h"

#include "session_core.h"

namespace tx::net {

struct NetSession::State {
    SessionCore core;
};

NetSession::NetSession(std::unique_ptr<State> state) : state_(std::move(state)) {}

NetSession::~NetSession() = default;

std::unique_ptr<NetSession> NetSession::host(std::string_view name) {
    auto state = std::make_unique<State>();
    if (!state->core.open(gamePort())) return nullptr;
    state->core.hostAs(name);
    state->core.start();
    return std::unique_ptr<NetSession>(new NetSession(std::move(state)));
}

std::unique_ptr<NetSession> NetSession::join(const SessionListing& game) {
    auto state = std::make_unique<State>();
    if (!state->core.open(0) || !state->core.joinGame(game)) return nullptr;
    state->core.start();
    return std::unique_ptr<NetSession>(new NetSession(std::move(state)));
}

bool NetSession::isHost() const {
    return state_->core.isHost();
}

std::vector<PlayerInfo> NetSession::remotePlayers() const {
    return state_->core.remotePlayers();
}

int32_t NetSession::createPlayer(std::string_view name) {
    return state_->core.createPlayer(name);
}

bool NetSession::destroyPlayer(int32_t id) {
    return state_->core.destroyPlayer(id);
}

bool NetSession::send(int32_t from, int32_t to, bool reliable, std::span<const uint8_t> payload) {
    return state_->core.send(from, to, reliable, payload);
}

std::optional<SessionEvent> NetSession::receive() {
    return state_->core.receive();
}

void NetSession::vanish() {
    state_->core.vanish();
}

}  // namespace tx::net
