// The connection dialog of StartNetGame: drawn over the program's picture in its window (with
// the display's default font), driven by the window's keyboard and mouse through the input
// module, until a game is created (2) or joined (1), or the dialog is cancelled or closed (0).
// It runs on the program's thread while the graphics and input modules exist; the program's
// picture and pointer come back afterwards, and the presses the dialog took are not seen by
// the program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net_session.h"
#include "session_service.h"

namespace tx {
class HostRuntime;
}

namespace tx::net {

class ConnectionDialogModel;

// The dialog's clock and frame pause (tests script both, so that no test waits), and what
// watches each frame drawn.
struct DialogHooks {
    // Milliseconds of a steady clock.
    std::function<uint32_t()> now = &steadyMilliseconds;
    // Waits about `milliseconds` while pumping; false when the program must end.
    std::function<bool(HostRuntime&, int32_t milliseconds)> pause = &pauseAndPump;

    // Called after each frame is drawn and shown (none: nothing watches).
    std::function<void(const ConnectionDialogModel& model)> frameShown;

    static uint32_t steadyMilliseconds();
    static bool pauseAndPump(HostRuntime& runtime, int32_t milliseconds);
};

struct DialogOutcome {
    int32_t result = 0;  // 0 cancelled, closed or not shown; 1 joined; 2 created
    // The session hosted or joined (null when the service had none to give).
    std::unique_ptr<NetSession> session;
    std::optional<SessionListing> joined;  // the game joined
    std::string createdName;               // the name of the game created
    // The program must end (its window was closed): the caller ends it quietly.
    bool mustEnd = false;
};

// Shows the dialog until it ends. Without the graphics or the input module nothing is shown and
// the result is 0; without a display the 400 x 300 start-up window is opened first (a mode that
// cannot be set is the usual runtime error).
DialogOutcome runConnectionDialog(HostRuntime& runtime,
                                  const SessionService& service = realSessionService(),
                                  const DialogHooks& hooks = {});

}  // namespace tx::net
