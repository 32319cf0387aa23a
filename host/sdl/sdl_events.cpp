#include "sdl_events.h"

#include <cstring>

namespace tx {

uint32_t sdlRequestEventType() {
    static const uint32_t type = SDL_RegisterEvents(1);
    return type;
}

SdlEvents::SdlEvents(std::shared_ptr<SdlSession> session, uint32_t requestType)
    : session_(std::move(session)),
      windowId_(SDL_GetWindowID(session_->window)),
      requestType_(requestType) {
    // Requests posted to an earlier runtime that never pumped them must not reach this one.
    SDL_FlushEvent(requestType_);
}

SdlEvents::~SdlEvents() {
    SDL_FlushEvent(requestType_);
}

std::optional<HostEvent> SdlEvents::poll() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
        if (std::optional<HostEvent> ours = translate(event)) return ours;
    return std::nullopt;
}

std::optional<HostEvent> SdlEvents::wait(int32_t timeoutMs) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, timeoutMs) == 0) return std::nullopt;
    return translate(event);
}

std::optional<HostEvent> SdlEvents::translate(const SDL_Event& event) const {
    if (event.type == requestType_) {
        // Posted by post below: the code is the event.
        if (event.user.code < 0 || event.user.code > static_cast<int32_t>(HostEvent::focusGained))
            return std::nullopt;
        return static_cast<HostEvent>(event.user.code);
    }
    switch (event.type) {
        case SDL_QUIT:  // the session or a signal asks the process to quit
            return HostEvent::close;
        case SDL_WINDOWEVENT:
            if (event.window.windowID != windowId_) return std::nullopt;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    return HostEvent::close;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    return HostEvent::repaint;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    return HostEvent::focusLost;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    return HostEvent::focusGained;
                default:
                    return std::nullopt;
            }
        default:
            return std::nullopt;
    }
}

void SdlEvents::post(HostEvent posted) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = requestType_;
    event.user.code = static_cast<int32_t>(posted);
    // A full queue drops the request; an end still takes effect through the pump's flag.
    SDL_PushEvent(&event);
}

}  // namespace tx
