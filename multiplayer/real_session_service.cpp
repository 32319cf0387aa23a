#include <exception>

#include "session_service.h"

namespace tx::net {
namespace {

// Hosting or joining; a failure to start the transport (memory, threads) is a failed attempt.
template <typename Open>
SessionAttempt attempt(Open open) {
    try {
        std::unique_ptr<NetSession> session = open();
        const bool ok = session != nullptr;
        return {ok, std::move(session)};
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

const SessionService& realSessionService() {
    // Built on first use: no global constructor.
    static const SessionService service{
        [](std::string_view address,
           std::chrono::milliseconds wait) -> std::optional<SessionService::Listings> {
            try {
                return findSessions(address, wait);
            } catch (const std::exception&) {  // out of memory or threads: the search failed
                return std::nullopt;
            }
        },
        [](std::string_view name) { return attempt([&] { return NetSession::host(name); }); },
        [](const SessionListing& game) { return attempt([&] { return NetSession::join(game); }); },
    };
    return service;
}

}  // namespace tx::net
