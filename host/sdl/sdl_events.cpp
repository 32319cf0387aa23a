#include "sdl_events.h"

#include <cstring>
#include <iterator>

#include "keyboard_codes.h"
#include "x11_window_watch.h"

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
    if (takeX11WindowLoss()) return HostEvent::windowLost;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        std::optional<HostEvent> request;
        if (takePlayerKey(event, request)) {
            if (request) return request;
            continue;
        }
        if (deliverInput(event)) continue;
        if (std::optional<HostEvent> ours = translate(event)) return ours;
    }
    return std::nullopt;
}

bool SdlEvents::takePlayerKey(const SDL_Event& event, std::optional<HostEvent>& request) {
    if ((event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) || !ofOurWindow(event.key.windowID))
        return false;
    const SDL_Scancode key = event.key.keysym.scancode;
    if (key < 0 || key >= SDL_NUM_SCANCODES) return false;
    if (event.type == SDL_KEYUP) {
        if (!taken_[key]) return false;
        taken_[key] = false;
        return true;
    }
    if (taken_[key]) return true;             // a repeat of a taken key
    if (event.key.repeat != 0) return false;  // a key held before Alt went down
    const bool enter = key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER;
    if (enter && (event.key.keysym.mod & KMOD_ALT) != 0)
        request = HostEvent::toggleFullscreen;
    else if (key == SDL_SCANCODE_F12)
        request = HostEvent::screenshot;
    else
        return false;
    taken_[key] = true;
    return true;
}

bool SdlEvents::deliverInput(const SDL_Event& event) const {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // A held key repeats on SDL's side only; the program sees one press.
            if (event.key.repeat != 0 || !ofOurWindow(event.key.windowID)) return true;
            const int32_t code = keyboardCodeOf(event.key.keysym.scancode);
            if (code != 0 && inputFeed_ != nullptr)
                inputFeed_->keyChanged(code, event.type == SDL_KEYDOWN);
            return true;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (!ofOurWindow(event.button.windowID) || inputFeed_ == nullptr) return true;
            // SDL counts left, middle, right; the program left, right, middle.
            static constexpr int32_t kButtons[] = {0, 1, 3, 2, 4, 5};
            if (event.button.button < std::size(kButtons))
                inputFeed_->mouseButtonChanged(kButtons[event.button.button],
                                               event.type == SDL_MOUSEBUTTONDOWN);
            return true;
        }
        case SDL_MOUSEMOTION:
            if (!ofOurWindow(event.motion.windowID) || inputFeed_ == nullptr) return true;
            inputFeed_->mouseMoved(event.motion.x, event.motion.y, event.motion.xrel,
                                   event.motion.yrel);
            return true;
        case SDL_MOUSEWHEEL: {
            if (!ofOurWindow(event.wheel.windowID) || inputFeed_ == nullptr) return true;
            const int32_t notches =
                event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            inputFeed_->wheelTurned(notches * 120);
            return true;
        }
        default:
            return false;
    }
}

std::optional<HostEvent> SdlEvents::pollWindow() {
    if (takeX11WindowLoss()) return HostEvent::windowLost;
    SDL_PumpEvents();
    SDL_Event event;
    // From quit to the window manager's events: no input event lies in that range.
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_QUIT, SDL_SYSWMEVENT) > 0)
        if (std::optional<HostEvent> ours = translate(event)) return ours;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, requestType_, requestType_) > 0)
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
        if (event.user.code < 0 || event.user.code > static_cast<int32_t>(HostEvent::screenshot))
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

bool SdlEvents::closeWaiting() {
    if (x11WindowLossPending()) return true;
    // Peeking is safe from any thread; events only reach the queue when the program's thread
    // pumps, or when another thread pushes them (a session's quit).
    SDL_Event events[32];
    const int count = SDL_PeepEvents(events, 32, SDL_PEEKEVENT, SDL_QUIT, SDL_WINDOWEVENT);
    for (int i = 0; i < count; ++i) {
        const std::optional<HostEvent> ours = translate(events[i]);
        if (ours == HostEvent::close) return true;
    }
    return false;
}

void SdlEvents::gather() {
    SDL_PumpEvents();
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
