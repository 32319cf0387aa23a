#include "message_box.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "modal_dialog.h"

namespace tx {

bool displayAvailable() {
    const char* forced = std::getenv("SDL_VIDEODRIVER");
    if (forced != nullptr &&
        (std::strcmp(forced, "offscreen") == 0 || std::strcmp(forced, "dummy") == 0))
        return false;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        const char* driver = SDL_GetCurrentVideoDriver();
        return driver != nullptr && std::strcmp(driver, "offscreen") != 0 &&
               std::strcmp(driver, "dummy") != 0;
    }
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != 0) || (wayland != nullptr && *wayland != 0);
}

bool dialogsAllowed() {
    return !dialogsTurnedOff() && displayAvailable();
}

void showMessageBox(const char* caption, const char* text, bool error) {
    if (!dialogsAllowed()) return;
    const Uint32 flags = error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    runModalDialog([&] { return SDL_ShowSimpleMessageBox(flags, caption, text, nullptr); });
}

}  // namespace tx
