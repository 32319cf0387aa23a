// A session service over a scripted network: the games it lists, whether each call fails, and
// what the dialog asked of it.
#pragma once

#include <string>
#include <vector>

#include "session_service.h"

namespace tx::net::test {

inline SessionListing game(std::string name, uint8_t id) {
    SessionListing listing;
    listing.instance[0] = id;
    listing.name = std::move(name);
    listing.address = "10.0.0." + std::to_string(id);
    listing.port = kDefaultPort;
    return listing;
}

struct FakeNetwork {
    std::vector<SessionListing> games;
    bool findFails = false;
    bool hostFails = false;
    bool joinFails = false;

    std::vector<std::string> searched;  // the addresses searched, in order
    std::vector<std::string> hosted;
    std::vector<SessionListing> joined;

    SessionService service() {
        return {
            [this](std::string_view address,
                   std::chrono::milliseconds) -> std::optional<SessionService::Listings> {
                searched.emplace_back(address);
                if (findFails) return std::nullopt;
                return games;
            },
            [this](std::string_view name) {
                hosted.emplace_back(name);
                return SessionAttempt{!hostFails, nullptr};
            },
            [this](const SessionListing& listing) {
                joined.push_back(listing);
                return SessionAttempt{!joinFails, nullptr};
            },
        };
    }
};

}  // namespace tx::net::test
