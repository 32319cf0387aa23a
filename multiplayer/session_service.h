// What the connection dialog asks of the network: finding the games at an address, hosting a
// new game and joining a found one. The real service calls the session transport; tests hand
// the dialog one of their own.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "net_session.h"

namespace tx::net {

// The outcome of hosting or joining. A service that opened a session hands it over; ok without
// a session is a success of a service that has none to give (a test's).
struct SessionAttempt {
    bool ok = false;
    std::unique_ptr<NetSession> session;
};

struct SessionService {
    using Listings = std::vector<SessionListing>;
    // The games hosted at `address` (empty: the local network), answers gathered for `wait`;
    // none when the search itself failed.
    std::function<std::optional<Listings>(std::string_view address, std::chrono::milliseconds wait)>
        find;
    std::function<SessionAttempt(std::string_view name)> host;
    std::function<SessionAttempt(const SessionListing& game)> join;
};

// The service over findSessions, NetSession::host and NetSession::join.
const SessionService& realSessionService();

}  // namespace tx::net
