#include "x11_window_watch.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <atomic>
#include <cstring>

namespace tx {
namespace {

using SetErrorHandler = XErrorHandler (*)(XErrorHandler);
using Sync = int (*)(Display*, Bool);

std::atomic<bool> windowLost{false};
std::atomic<bool> installed{false};
XErrorHandler previousHandler = nullptr;
Sync sync = nullptr;

// An Xlib error handler may not call Xlib: it only records the loss. Other errors keep the
// handling they had (SDL's, then Xlib's).
int onXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        windowLost.store(true);
        return 0;
    }
    return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

}  // namespace

void watchX11Window() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0) return;
    if (installed.exchange(true)) return;
    // SDL loaded libX11 itself; its handler setter is taken from there, so the runtime needs no
    // X11 library of its own.
    void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (library == nullptr) return;
    const auto setHandler = reinterpret_cast<SetErrorHandler>(dlsym(library, "XSetErrorHandler"));
    sync = reinterpret_cast<Sync>(dlsym(library, "XSync"));
    if (setHandler != nullptr) previousHandler = setHandler(&onXError);
    dlclose(library);  // SDL keeps it loaded
}

void destroyWatchedWindow(SDL_Window* window) {
    Display* display = nullptr;
    if (installed.load() && sync != nullptr) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11)
            display = info.info.x11.display;
    }
    SDL_DestroyWindow(window);
    if (display != nullptr) sync(display, False);
}

bool x11WindowLossPending() {
    return windowLost.load();
}

bool takeX11WindowLoss() {
    return windowLost.exchange(false);
}

}  // namespace tx
