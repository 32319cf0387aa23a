// The event pump of a run: drains the event source, suspends and resumes the program (on
// requests from a debugger thread, and when a full-screen program loses the focus), and turns
// a request to close the window into the end of the program, asking the close prompt first.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "event_source.h"

namespace tx {

class DebuggerRelay;
class Display;
class SystemServices;

class EventPump {
public:
    EventPump(EventSource& events, Display& display, DebuggerRelay& debugger,
              const SystemServices& services)
        : events_(events), display_(display), debugger_(debugger), services_(services) {}
    EventPump(const EventPump&) = delete;
    EventPump& operator=(const EventPump&) = delete;

    // Handles every waiting event (and waits while suspended). False means the program must end.
    bool idle() { return pump(false); }
    // What idle does, for the run loop while guest code runs: the window's input stays queued
    // for the commands' own pumping. False means the program must end.
    bool service() { return pump(true); }
    // See EventSource::gather: the window keeps answering while guest code runs; what was
    // gathered is handled by the next idle or service.
    void gather() { events_.gather(); }
    // Pumps and waits; false when the program must end.
    bool delay(int32_t milliseconds);

    // From any thread: post a stop, run or end request to the pump.
    void asyncStop() { events_.post(HostEvent::stopRequest); }
    void asyncRun() { events_.post(HostEvent::runRequest); }
    void asyncEnd();
    // Suspends the program from its own thread; the caller then calls idle.
    void stop();
    // The program must end because of a report to the debugger: it ends suspended.
    void endForReport();

    // Handles a request to close the window exactly as a click on its close button would
    // (including the close prompt).
    void requestClose();
    // Replaces the OK/Cancel close prompt dialog (tests answer it without a display).
    using PromptAnswer = bool (*)(const std::string& title, const std::string& prompt);
    void setClosePromptAnswer(PromptAnswer answer) { promptAnswer_ = answer; }

    // From any thread: the program must end at once (a signal, an end request, or a close with
    // no prompt to ask) whatever its guest code is doing.
    bool mustEndNow() const;
    // Whether a close prompt is set, for mustEndNow (which cannot read the prompt's text from
    // another thread).
    void noteClosePrompt(bool set) { closePromptSet_.store(set); }

    bool paused() const { return paused_; }
    bool running() const { return running_.load(); }

private:
    bool pump(bool windowOnly);
    void handle(HostEvent event);
    void handleStop();
    void handleRun();
    void suspend();
    void resume();
    void end();
    bool askClosePrompt() const;

    EventSource& events_;
    Display& display_;
    DebuggerRelay& debugger_;
    const SystemServices& services_;
    // Another thread may clear it (asyncEnd) while the program's thread reads it.
    std::atomic<bool> running_{true};
    std::atomic<bool> closePromptSet_{false};
    bool paused_ = false;
    PromptAnswer promptAnswer_ = nullptr;
};

}  // namespace tx
