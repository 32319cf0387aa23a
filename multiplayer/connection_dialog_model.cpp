#include "connection_dialog_model.h"

#include <algorithm>

namespace tx::net {
namespace {

constexpr std::string_view kErrorCaption = "DirPlay Error";
constexpr std::string_view kRequestCaption = "DirectPlay Request";

// Whether `due` has come by `now` on a clock that may wrap round.
bool reached(uint32_t now, uint32_t due) {
    return static_cast<int32_t>(now - due) >= 0;
}

}  // namespace

void ConnectionDialogModel::open() {
    connections_ = {"<no connection>", "TCP/IP"};
    result_.reset();
    joined_.reset();
    message_.reset();
    reset();
}

void ConnectionDialogModel::reset() {
    closeConnection();
    selectedConnection_ = kNoConnection;
    addressWanted_ = false;
    gamesEnabled_ = false;
    nameEnabled_ = false;
    name_.clear();
    games_.clear();
    entries_.clear();
    selectedGame_ = -1;
    lastClicked_.reset();
}

void ConnectionDialogModel::closeConnection() {
    refreshing_ = false;
    connected_ = false;
    session_.reset();
}

bool ConnectionDialogModel::enabled(Control control) const {
    switch (control) {
        case Control::Connections:
        case Control::Cancel:
            return true;
        case Control::Games:
            return gamesEnabled_;
        case Control::Name:
        case Control::Create:
            return nameEnabled_;
    }
    return false;
}

void ConnectionDialogModel::show(std::string_view text, std::string_view caption,
                                 bool information) {
    message_ = Message{std::string(text), std::string(caption), information};
}

void ConnectionDialogModel::chooseConnection(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(connections_.size())) return;
    if (index == kNoConnection) {
        reset();
        return;
    }
    closeConnection();
    selectedConnection_ = index;
    addressWanted_ = true;  // the field keeps the address given last
}

void ConnectionDialogModel::confirmAddress(uint32_t now) {
    if (!addressWanted_) return;
    addressWanted_ = false;
    searchedAddress_ = address_.text();
    connected_ = true;
    if (refresh(now)) nameEnabled_ = true;
}

void ConnectionDialogModel::cancelAddress() {
    if (addressWanted_) reset();
}

bool ConnectionDialogModel::refresh(uint32_t now) {
    // The selection follows its game from one search to the next.
    std::optional<std::array<uint8_t, 16>> selected;
    if (selectedGame_ >= 0 && static_cast<size_t>(selectedGame_) < games_.size())
        selected = games_[static_cast<size_t>(selectedGame_)].instance;
    games_.clear();
    entries_.clear();
    selectedGame_ = -1;
    gamesEnabled_ = true;

    std::optional<SessionService::Listings> found =
        service_.find ? service_.find(searchedAddress_, kFindWait) : std::nullopt;
    if (!found) {
        closeConnection();
        show("Unable to enumerate sessions", kErrorCaption);
        reset();
        return false;
    }
    if (!refreshing_) {
        refreshing_ = true;
        refreshDue_ = now + kRefreshMs;
    }
    games_ = std::move(*found);
    for (const SessionListing& game : games_) {
        entries_.push_back(game.name);
        if (selected && game.instance == *selected)
            selectedGame_ = static_cast<int32_t>(entries_.size() - 1);
    }
    if (games_.empty()) {
        entries_.push_back("<no games found>");
        gamesEnabled_ = false;
    }
    return true;
}

void ConnectionDialogModel::tick(uint32_t now) {
    if (!refreshing_ || message_ || addressWanted_ || result_ || !reached(now, refreshDue_)) return;
    refreshDue_ += kRefreshMs;
    if (reached(now, refreshDue_)) refreshDue_ = now + kRefreshMs;  // fell behind: no bursts
    refresh(now);
}

void ConnectionDialogModel::clickGame(int32_t index, uint32_t now) {
    if (!gamesEnabled_ || index < 0 || static_cast<size_t>(index) >= games_.size()) return;
    selectedGame_ = index;
    const std::array<uint8_t, 16>& instance = games_[static_cast<size_t>(index)].instance;
    if (lastClicked_ == instance && now - lastClickTime_ <= kDoubleClickMs) {
        lastClicked_.reset();
        join(static_cast<size_t>(index));
        return;
    }
    lastClicked_ = instance;
    lastClickTime_ = now;
}

void ConnectionDialogModel::join(size_t index) {
    if (!connected_ || index >= games_.size()) return;
    SessionAttempt attempt = service_.join ? service_.join(games_[index]) : SessionAttempt{};
    if (!attempt.ok) {
        show("Unable to join game", kErrorCaption);
        return;
    }
    refreshing_ = false;
    session_ = std::move(attempt.session);
    joined_ = games_[index];
    result_ = kJoined;
}

void ConnectionDialogModel::create() {
    if (!connected_ || !nameEnabled_) return;
    if (name_.text().empty()) {
        show("Please enter a name for the new game", kRequestCaption, true);
        return;
    }
    SessionAttempt attempt = service_.host ? service_.host(name_.text()) : SessionAttempt{};
    if (!attempt.ok) {
        show("Unable to create new game", kErrorCaption);
        return;
    }
    refreshing_ = false;
    session_ = std::move(attempt.session);
    result_ = kCreated;
}

void ConnectionDialogModel::cancel() {
    closeConnection();
    result_ = kCancelled;
}

}  // namespace tx::net
