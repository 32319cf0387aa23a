#include "message_box.h"

#include <SDL.h>

#include <cstdlib>

#include "display_presence.h"
#include "modal_dialog.h"

namespace tx {

bool displayAvailable() {
    if (isDriverWithoutDisplay(std::getenv("SDL_VIDEODRIVER"))) return false;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        const char* driver = SDL_GetCurrentVideoDriver();
        return driver != nullptr && !isDriverWithoutDisplay(driver);
    }
    return displayVariablesSet();
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
