// The runtime's window destroyed from outside (another client destroying it, as
// `xdotool windowclose` does) under SDL's X11 driver. Xlib's own reaction to the errors that
// follow is to end the process with exit code 1; instead they are noted here and the event
// source turns them into the end of the program.
#pragma once

#include <SDL.h>

namespace tx {

// Installs the watch when video runs on SDL's X11 driver (once per process); nothing otherwise.
void watchX11Window();

// True once X reported a window or drawable of ours gone; each report is returned once.
bool takeX11WindowLoss();
// Whether a loss is waiting to be taken (from any thread).
bool x11WindowLossPending();

// Destroys the window and, under the watch, waits for X to answer, so that the errors about a
// window already destroyed from outside reach the watch (SDL gives Xlib's own handler back
// before it closes the display, which would end the process with them).
void destroyWatchedWindow(SDL_Window* window);

}  // namespace tx
