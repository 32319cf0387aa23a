#include "sdl_test_events.h"

#include <SDL.h>

#include <cstring>

namespace tx::test {

bool pushSdlQuit() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return false;
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_QUIT;
    return SDL_PushEvent(&event) == 1;
}

}  // namespace tx::test
