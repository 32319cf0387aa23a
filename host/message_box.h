// Message boxes for the few texts the runtime must show a user.
#pragma once

namespace tx {

// True when a real display can show a window (not SDL's offscreen or dummy drivers).
bool displayAvailable();

// Shows a modal box with an OK button when a display is available; does nothing otherwise.
// Callers write the message to standard error as well.
void showMessageBox(const char* caption, const char* text, bool error);

}  // namespace tx
