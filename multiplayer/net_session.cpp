// NetSession: the program's handle on a session, run by SessionCore.
#include "net_session.h"

#include "session_core.h"

namespace tx::net {

NetSession::NetSession(std::unique_ptr<SessionCore> core) : core_(std::move(core)) {}

NetSession::~NetSession() = default;

std::unique_ptr<NetSession> NetSession::host(std::string_view name) {
    auto core = std::make_unique<SessionCore>();
    if (!core->open(gamePort())) return nullptr;
    core->hostAs(name);
    core->start();
    return std::unique_ptr<NetSession>(new NetSession(std::move(core)));
}

std::unique_ptr<NetSession> NetSession::join(const SessionListing& game) {
    auto core = std::make_unique<SessionCore>();
    if (!core->open(0) || !core->joinGame(game)) return nullptr;
    core->start();
    return std::unique_ptr<NetSession>(new NetSession(std::move(core)));
}

bool NetSession::isHost() const {
    return core_->isHost();
}

std::vector<PlayerInfo> NetSession::remotePlayers() const {
    return core_->remotePlayers();
}

int32_t NetSession::createPlayer(std::string_view name) {
    return core_->createPlayer(name);
}

bool NetSession::destroyPlayer(int32_t id) {
    return core_->destroyPlayer(id);
}

bool NetSession::send(int32_t from, int32_t to, bool reliable, std::span<const uint8_t> payload) {
    return core_->send(from, to, reliable, payload);
}

std::optional<SessionEvent> NetSession::receive() {
    return core_->receive();
}

void NetSession::vanish() {
    core_->vanish();
}

}  // namespace tx::net
