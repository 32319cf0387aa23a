// Where the event pump gets its events: window events translated into ours, and the requests
// other threads post. The SDL source reads SDL's queue; the null source is a queue of its own
// that tests fill.
#pragma once

#include <cstdint>
#include <optional>

#include "input_feed.h"

namespace tx {

enum class HostEvent {
    stopRequest,  // requests posted from any thread
    runRequest,
    endRequest,
    close,    // the user or the session asks the program to close
    repaint,  // the window's picture was lost or resized
    focusLost,
    focusGained,
    windowLost,  // the window was destroyed from outside
    // The player's keys, taken before the program's input sees them.
    toggleFullscreen,  // Alt+Enter
    screenshot,        // F12
};

class EventSource {
public:
    virtual ~EventSource() = default;
    // The next event if one is waiting.
    virtual std::optional<HostEvent> poll() = 0;
    // The next event if one is waiting, leaving the window's input (keys, mouse, controllers)
    // queued for the next poll: for pumping while guest code runs, which must not change what
    // the program sees of its input.
    virtual std::optional<HostEvent> pollWindow() { return poll(); }
    // Waits up to timeoutMs for an event; none when the time ran out first (or only events of
    // no interest arrived).
    virtual std::optional<HostEvent> wait(int32_t timeoutMs) = 0;
    // From any thread. A queue that is full drops it.
    virtual void post(HostEvent event) = 0;
    // From any thread, without taking anything from the queue: whether a request to close the
    // window (or a loss of it) is waiting.
    virtual bool closeWaiting() = 0;
    // Moves the window system's pending events into the queue without taking any, so that the
    // window keeps answering (the window manager's pings, a close) while the program's thread
    // runs guest code. From the preemption clock's thread, never while the program's thread
    // itself calls into the window system.
    virtual void gather() {}

    // Where poll delivers the window's keyboard and mouse (without a feed they are dropped).
    void setInputFeed(InputFeed* feed) { inputFeed_ = feed; }

protected:
    InputFeed* inputFeed_ = nullptr;
};

}  // namespace tx
