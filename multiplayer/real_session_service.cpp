#include <exception>
#include <future>
#include <string>

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

using Listings = SessionService::Listings;

std::optional<Listings> searchNow(std::string_view address, std::chrono::milliseconds wait) {
    try {
        return findSessions(address, wait);
    } catch (const std::exception&) {  // out of memory or threads: the search failed
        return std::nullopt;
    }
}

// The dialog looks for games again every second; waiting for each answer on the program's
// thread would freeze the dialog a quarter of the time. The first search of an address is
// waited for; later ones run in the background, and each refresh shows what the last finished
// one found while the next is under way.
class GameSearch {
public:
    std::optional<Listings> find(std::string_view address, std::chrono::milliseconds wait) {
        using namespace std::chrono_literals;
        if (!last_ || address != address_) {
            if (running_.valid()) running_.wait();
            running_ = {};
            address_ = address;
            last_ = searchNow(address, wait);
            return last_;
        }
        if (running_.valid() && running_.wait_for(0s) == std::future_status::ready)
            last_ = running_.get();
        if (!running_.valid())
            running_ = std::async(std::launch::async,
                                  [address = address_, wait] { return searchNow(address, wait); });
        return last_;
    }

private:
    std::string address_;
    std::optional<Listings> last_;  // none before the first search and after a failed one
    std::future<std::optional<Listings>> running_;
};

}  // namespace

const SessionService& realSessionService() {
    // Built on first use: no global constructor.
    static const SessionService service{
        [search = std::make_shared<GameSearch>()](std::string_view address,
                                                  std::chrono::milliseconds wait) {
            return search->find(address, wait);
        },
        [](std::string_view name) { return attempt([&] { return NetSession::host(name); }); },
        [](const SessionListing& game) { return attempt([&] { return NetSession::join(game); }); },
    };
    return service;
}

}  // namespace tx::net
