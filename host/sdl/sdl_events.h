// The event source on SDL: SDL's queue, with the events of the runtime's window translated and
// the requests of other threads carried as a user event type of the runtime's own.
#pragma once

#include <SDL.h>

#include <bitset>
#include <memory>

#include "event_source.h"
#include "sdl_session.h"

namespace tx {

class SdlEvents final : public EventSource {
public:
    // requestType: the registered user event type that carries requests.
    SdlEvents(std::shared_ptr<SdlSession> session, uint32_t requestType);
    ~SdlEvents() override;

    std::optional<HostEvent> poll() override;
    std::optional<HostEvent> pollWindow() override;
    std::optional<HostEvent> wait(int32_t timeoutMs) override;
    void post(HostEvent event) override;
    bool closeWaiting() override;
    void gather() override;

private:
    // Ours, or none for events of no interest (other windows, input).
    std::optional<HostEvent> translate(const SDL_Event& event) const;
    // Gives a keyboard or mouse event to the input feed; false for any other event.
    bool deliverInput(const SDL_Event& event) const;
    // Takes the player's keys (Alt+Enter, F12) and their releases away from the program: true
    // when the event was one, with the request for the pump in `request` (none for releases).
    bool takePlayerKey(const SDL_Event& event, std::optional<HostEvent>& request);
    bool ofOurWindow(uint32_t windowId) const { return windowId == windowId_ || windowId == 0; }

    std::shared_ptr<SdlSession> session_;
    uint32_t windowId_;
    uint32_t requestType_;
    // Keys whose press was taken: their release is taken too.
    std::bitset<SDL_NUM_SCANCODES> taken_;
};

// SDL never gives user event types back, so the type is registered once per process and every
// runtime opened later reuses it. (uint32_t)-1 when SDL has none left.
uint32_t sdlRequestEventType();

}  // namespace tx
