// Message boxes for the few texts the runtime must show a user.
#pragma once

namespace tx {

// True when a real display can show a window (not SDL's offscreen or dummy drivers).
bool displayAvailable();

// False with no display, or when TERVEX_NO_DIALOGS turns dialogs off.
bool dialogsAllowed();

// Shows a modal box with an OK button when dialogs are allowed; does nothing otherwise. The end
// of the program (a signal) closes it. Callers write the message to standard error as well.
void showMessageBox(const char* caption, const char* text, bool error);

}  // namespace tx
