// Starting SDL for a host runtime: the subsystems, the video driver (falling back to the
// offscreen one when there is no display) and the hidden window.
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "display_presence.h"
#include "host_backend.h"
#include "sdl_events.h"
#include "sdl_joysticks.h"
#include "sdl_session.h"
#include "sdl_video.h"
#include "x11_window_watch.h"

namespace tx {
namespace {

constexpr const char* kWindowTitle = "Tervex Runtime Window";

std::atomic<bool> headlessReported{false};

bool driverWithoutDisplay() {
    return isDriverWithoutDisplay(SDL_GetCurrentVideoDriver());
}

void reportNoDisplay(const std::string& reason) {
    if (headlessReported.exchange(true)) return;
    std::fprintf(stderr,
                 "Tervex: no display available (%s); the program runs on an invisible offscreen "
                 "display\n",
                 reason.c_str());
}

// Starts video on the display, or on the offscreen driver when there is none. Returns whether
// video runs on a driver without a display.
std::optional<bool> initVideo(SdlSession& session) {
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const std::string requestedDriver = requested != nullptr ? requested : "";
    // With no display to connect to, the offscreen driver is chosen before SDL tries the others
    // (which would only print their own failures).
    if (requestedDriver.empty() && !displayVariablesSet()) {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return std::nullopt;
        session.subsystems |= SDL_INIT_VIDEO;
        reportNoDisplay("neither DISPLAY nor WAYLAND_DISPLAY is set");
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        session.subsystems |= SDL_INIT_VIDEO;
        if (!driverWithoutDisplay()) return false;
        // SDL itself settles on a driver without a display when none of the others finds one;
        // say so unless that driver is the one that was asked for.
        if (requestedDriver.find(SDL_GetCurrentVideoDriver()) == std::string::npos)
            reportNoDisplay("no video driver found one");
        return true;
    }
    const std::string reason = SDL_GetError();
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return std::nullopt;
    session.subsystems |= SDL_INIT_VIDEO;
    reportNoDisplay(reason);
    return true;
}

}  // namespace

std::optional<HostBackend> openSdlBackend(bool topmost) {
    auto session = std::make_shared<SdlSession>();
    // SIGINT and SIGTERM are the runtime's (end_request.h), not a quit event of SDL's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) return std::nullopt;
    session->subsystems |= SDL_INIT_TIMER | SDL_INIT_EVENTS;
    const std::optional<bool> headless = initVideo(*session);
    if (!headless) return std::nullopt;
    session->headless = *headless;

    const uint32_t requestType = sdlRequestEventType();
    if (requestType == static_cast<uint32_t>(-1)) return std::nullopt;

    // Closing the window must reach the pump only as a window close event; SDL would otherwise
    // add a quit event for the same click and the close prompt would be asked twice.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    uint32_t windowFlags = SDL_WINDOW_HIDDEN;
    if (topmost) windowFlags |= SDL_WINDOW_ALWAYS_ON_TOP;
    session->window = SDL_CreateWindow(kWindowTitle, 0, 0, 1, 1, windowFlags);
    if (session->window == nullptr) return std::nullopt;
    watchX11Window();

    HostBackend backend;
    backend.video = std::make_unique<SdlVideo>(session);
    backend.events = std::make_unique<SdlEvents>(session, requestType);
    backend.joysticks = std::make_unique<SdlJoysticks>();
    return backend;
}

}  // namespace tx
