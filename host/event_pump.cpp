#include "event_pump.h"

#include <algorithm>
#include <chrono>

#include "debugger_relay.h"
#include "display.h"
#include "end_request.h"
#include "modal_dialog.h"
#include "system_services.h"

namespace tx {
namespace {

// While suspended the pump waits in slices so that an end request lost to a full queue still
// ends the program.
constexpr int32_t kWaitSliceMs = 100;
constexpr int32_t kDelaySliceMs = 100;

}  // namespace

bool EventPump::pump(bool windowOnly) {
    for (;;) {
        // A signal (or another thread) asked the process to end: nothing is asked or reported.
        if (end_request::raised() && running_.load()) asyncEnd();
        std::optional<HostEvent> event;
        if (paused_ && running_.load()) {
            event = events_.wait(kWaitSliceMs);
            if (!event) continue;
        } else {
            event = windowOnly ? events_.pollWindow() : events_.poll();
            if (!event) {
                display_.repaintIfDrawn();
                return running_.load();
            }
        }
        handle(*event);
    }
}

void EventPump::handle(HostEvent event) {
    switch (event) {
        case HostEvent::stopRequest:
            if (!paused_) handleStop();
            break;
        case HostEvent::runRequest:
            if (paused_) handleRun();
            break;
        case HostEvent::endRequest:  // only wakes a blocked wait
            break;
        case HostEvent::close:
            requestClose();
            break;
        case HostEvent::windowLost:  // nothing left to ask over: the program ends as on a close
            if (running_.load()) asyncEnd();
            break;
        case HostEvent::repaint:
            display_.repaint();
            break;
        case HostEvent::focusLost:
            // Switching away from a full-screen program suspends it; windowed programs run on.
            if (display_.suspendsWhenAway() && !paused_) suspend();
            break;
        case HostEvent::focusGained:
            if (display_.suspendsWhenAway() && paused_) resume();
            break;
        case HostEvent::toggleFullscreen:
            display_.toggleFullscreen();
            break;
        case HostEvent::screenshot:
            display_.requestScreenshot();
            break;
    }
}

bool EventPump::delay(int32_t milliseconds) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
    for (;;) {
        if (!idle()) return false;
        const auto remaining =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (remaining < 1) return true;
        // Ends early when the end of the program is requested; the next idle then says so.
        end_request::waitFor(static_cast<int>(std::min<int64_t>(remaining, kDelaySliceMs)));
    }
}

bool EventPump::mustEndNow() const {
    if (end_request::raised() || !running_.load()) return true;
    return !closePromptSet_.load() && events_.closeWaiting();
}

void EventPump::end() {
    running_.store(false);
    events_.post(HostEvent::endRequest);
}

void EventPump::asyncEnd() {
    debugger_.detach();
    end();
}

void EventPump::endForReport() {
    end();
    if (!paused_) handleStop();
}

void EventPump::requestClose() {
    if (!running_.load()) return;  // already ending: nothing left to ask
    if (!services_.closePrompt().empty() && !askClosePrompt()) return;
    debugger_.detach();
    end();
}

bool EventPump::askClosePrompt() const {
    if (promptAnswer_ != nullptr) return promptAnswer_(services_.title(), services_.closePrompt());
    // Without a display nobody can answer, and a close request that can never be granted would
    // leave the process impossible to end short of killing it: the request stands. A dialog
    // that cannot be shown counts the same.
    VideoDevice& video = display_.video();
    if (video.headless() || dialogsTurnedOff()) return true;
    return video
        .askOkCancel(services_.title(), services_.closePrompt(),
                     display_.graphicsMode() != GraphicsMode::None)
        .value_or(true);
}

// ---- Suspend and resume

void EventPump::stop() {
    if (!paused_) handleStop();
}

// Full screen gives the desktop back (the window is minimised) before suspending, and takes
// the display again before resuming. The focus change that follows finds the program already
// suspended or running; without a display manager it never comes.
void EventPump::handleStop() {
    display_.leaveFullscreenForSuspend();
    suspend();
}

void EventPump::handleRun() {
    display_.returnFullscreenFromSuspend();
    resume();
}

// Sounds keep playing while suspended.
void EventPump::suspend() {
    paused_ = true;
    debugger_.stop();
}

void EventPump::resume() {
    display_.showAfterResume();
    paused_ = false;
    debugger_.run();
}

}  // namespace tx
