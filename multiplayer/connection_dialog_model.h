// The connection dialog's state and what the user's actions do to it, apart from any picture:
// the connection chosen (none, or TCP/IP at an address the user gives), the games found there
// and found again every second, the name for a new game, the message shown, and the result.
// Times are milliseconds of the caller's clock.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net_session.h"
#include "session_service.h"
#include "text_field.h"

namespace tx::net {

class ConnectionDialogModel {
public:
    static constexpr int32_t kNoConnection = 0;
    static constexpr int32_t kTcpIp = 1;
    static constexpr uint32_t kRefreshMs = 1000;
    // Two clicks on the same game within this time join it.
    static constexpr uint32_t kDoubleClickMs = 500;
    static constexpr size_t kMaxNameLength = 259;
    static constexpr size_t kMaxAddressLength = 255;
    // How long each search gathers answers (the dialog waits that long).
    static constexpr std::chrono::milliseconds kFindWait{250};

    // The dialog's results.
    static constexpr int32_t kCancelled = 0;
    static constexpr int32_t kJoined = 1;
    static constexpr int32_t kCreated = 2;

    enum class Control : uint8_t { Connections, Games, Name, Create, Cancel };

    // A message box over the dialog; it takes every action until dismissed.
    struct Message {
        std::string text;
        std::string caption;
        bool information = false;  // a request rather than an error
    };

    explicit ConnectionDialogModel(const SessionService& service) : service_(service) {}

    // Lists the connections and resets.
    void open();

    // ---- The user's actions
    // Choosing TCP/IP asks for its address; choosing no connection resets.
    void chooseConnection(int32_t index);
    // The address field's text confirmed: the games there are found, and the name and Create
    // become usable.
    void confirmAddress(uint32_t now);
    // The address not given: reset.
    void cancelAddress();
    // The refresh timer: the games are found again once a second while a connection is open
    // (not while a message or the address is asked for).
    void tick(uint32_t now);
    // A click on an entry of the games list selects it; a second click on the same game
    // within kDoubleClickMs joins it.
    void clickGame(int32_t index, uint32_t now);
    void create();
    // Cancel, or the dialog closed.
    void cancel();
    void dismissMessage() { message_.reset(); }

    TextField& name() { return name_; }
    const TextField& name() const { return name_; }
    TextField& address() { return address_; }
    const TextField& address() const { return address_; }

    // ---- What the dialog shows
    const std::vector<std::string>& connections() const { return connections_; }
    int32_t selectedConnection() const { return selectedConnection_; }
    bool addressWanted() const { return addressWanted_; }
    // The list's entries: the games' names, or the one "<no games found>".
    const std::vector<std::string>& gameEntries() const { return entries_; }
    // The selected entry, or -1.
    int32_t selectedGame() const { return selectedGame_; }
    const std::vector<SessionListing>& games() const { return games_; }
    bool enabled(Control control) const;
    const std::optional<Message>& message() const { return message_; }
    bool refreshing() const { return refreshing_; }
    bool connected() const { return connected_; }

    // ---- The result: none while the dialog stays
    std::optional<int32_t> result() const { return result_; }
    // The game joined, when the result is kJoined.
    const std::optional<SessionListing>& joinedGame() const { return joined_; }
    // The session hosted or joined (null from a service that has none to give).
    std::unique_ptr<NetSession> takeSession() { return std::move(session_); }

private:
    void reset();
    void closeConnection();
    // Finds the games again; false (after a message and a reset) when the search failed.
    bool refresh(uint32_t now);
    void join(size_t index);
    void show(std::string_view text, std::string_view caption, bool information = false);

    const SessionService& service_;
    std::vector<std::string> connections_;
    int32_t selectedConnection_ = kNoConnection;
    bool addressWanted_ = false;
    TextField address_{kMaxAddressLength};
    std::string searchedAddress_;
    bool connected_ = false;

    std::vector<SessionListing> games_;
    std::vector<std::string> entries_;
    int32_t selectedGame_ = -1;
    bool gamesEnabled_ = false;
    bool refreshing_ = false;
    uint32_t refreshDue_ = 0;
    // The last click on a game, for double clicks.
    std::optional<std::array<uint8_t, 16>> lastClicked_;
    uint32_t lastClickTime_ = 0;

    TextField name_{kMaxNameLength};
    bool nameEnabled_ = false;

    std::optional<Message> message_;
    std::optional<int32_t> result_;
    std::optional<SessionListing> joined_;
    std::unique_ptr<NetSession> session_;
};

}  // namespace tx::net
