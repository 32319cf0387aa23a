// Modal dialogs that the end of the program can close: the dialog runs on a thread of its own
// while the caller waits for its answer or for the end request (a signal), whichever comes
// first. SDL shows a dialog in a process of its own (forked for X11, zenity for Wayland), a child
// of the thread that asked; on the end request that process is ended and the dialog counts as
// unanswered.
#pragma once

#include <functional>
#include <optional>

namespace tx {

// Runs `show` (which returns the dialog's answer) as described; none when the program must end
// (or no thread could be started).
std::optional<int> runModalDialog(const std::function<int()>& show);

// True when TERVEX_NO_DIALOGS turns every dialog off (set, and neither empty nor "0").
bool dialogsTurnedOff();

}  // namespace tx
