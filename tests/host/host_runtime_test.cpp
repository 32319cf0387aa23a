// The host runtime: one instance per process, SDL's hidden window and its events; the pump
// (requests from other threads, suspend and resume, closing the window, delay; on the null
// backend, whose event queue the tests fill); debugger events relayed by the runtime, and
// reports that end the program.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "end_request.h"
#include "host_runtime.h"
#include "null_events.h"
#include "recording_debugger.h"
#include "sdl_video.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

// What the close prompt was asked with ("title: prompt"), how often, and what it answers.
std::string asked;
int askedCount = 0;
bool answer = false;
bool recordAndAnswer(const std::string& title, const std::string& prompt) {
    asked = title + ": " + prompt;
    ++askedCount;
    return answer;
}

class HostEventLoop : public ::testing::Test {
protected:
    void SetUp() override {
        HostBackend backend = openNullBackend();
        events = backend.events.get();
        runtime = HostRuntime::open("", &debugger, std::move(backend));
        ASSERT_NE(runtime, nullptr);
    }

    test::RecordingDebugger debugger;
    std::unique_ptr<HostRuntime> runtime;
    EventSource* events = nullptr;  // owned by the runtime
};

// Delays pump and wait (none for 0 or less); a stopped program waits in idle for a run.
TEST_F(HostEventLoop, DelaysWaitAndAStoppedProgramWaitsInIdleUntilRunArrives) {
    for (const int32_t ms : {0, -5, 30}) EXPECT_TRUE(runtime->delay(ms)) << ms;
    runtime->asyncRun();  // not suspended: ignored
    EXPECT_TRUE(runtime->idle());
    EXPECT_EQ(debugger.runs, 0);
    runtime->stop();
    EXPECT_TRUE(runtime->pump().paused());
    runtime->stop();  // already suspended: nothing more
    EXPECT_EQ(debugger.stops, 1);

    std::atomic<bool> runSent{false};
    std::thread debuggerThread([&] {
        std::this_thread::sleep_for(20ms);
        runSent.store(true);
        runtime->asyncRun();
    });
    EXPECT_TRUE(runtime->idle());
    EXPECT_TRUE(runSent.load());
    debuggerThread.join();
    EXPECT_FALSE(runtime->pump().paused());
    EXPECT_EQ(debugger.runs, 1);
}

// The end of the program requested from another thread or from outside (a signal): every way
// of pumping says so, a wait ends early, nobody is asked anything, the debugger is detached and
// the program stays ended; a window destroyed from outside ends the same way.
TEST_F(HostEventLoop, AnEndRequestOrALostWindowEndsThePumpWithoutAsking) {
    using Pump = bool (*)(HostRuntime&, EventSource&);
    const Pump pumps[] = {
        [](HostRuntime& r, EventSource&) {
            EXPECT_TRUE(r.idle());
            std::thread([&r] { r.asyncEnd(); }).join();
            return r.idle();
        },
        [](HostRuntime& r, EventSource&) { return end_request::raise(0), r.idle(); },
        [](HostRuntime& r, EventSource&) { return end_request::raise(0), r.service(); },
        [](HostRuntime& r, EventSource&) {
            std::thread signaller([] {
                std::this_thread::sleep_for(10ms);
                end_request::raise(SIGTERM);
            });
            const bool running = r.delay(600'000);
            signaller.join();
            return running;
        },
        [](HostRuntime& r, EventSource& e) { return e.post(HostEvent::windowLost), r.idle(); },
    };
    for (const Pump pump : pumps) {
        runtime->setTitle("Game", "Quit now?");
        runtime->pump().setClosePromptAnswer(&recordAndAnswer);
        answer = false;
        askedCount = 0;
        EXPECT_FALSE(pump(*runtime, *events));
        end_request::clear();
        EXPECT_EQ(askedCount, 0);
        EXPECT_FALSE(runtime->pump().running());
        EXPECT_FALSE(runtime->hasDebugger());
        EXPECT_FALSE(runtime->idle());
        runtime.reset();
        SetUp();
    }
}

// One runtime at a time; requests posted to a closed one do not reach the next. SDL's quit event
// and our window's close ask the close prompt: Cancel keeps the program running, OK ends it and
// detaches the debugger; another window's close is not ours. Without a way to show the prompt
// (headless, no answer set) nobody can answer and the program ends.
TEST(HostRuntimeLifecycle, OneAtATimeAndCloseRequestsAskThePromptWhoseAnswerDecides) {
    // Another part of the process keeps SDL's event queue alive across the two runtimes.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    {
        auto first = HostRuntime::open("args here", nullptr, 0);
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(first->pump().running());
        EXPECT_FALSE(first->pump().paused());
        EXPECT_EQ(first->commandLine(), "args here");
        EXPECT_EQ(HostRuntime::open("", nullptr, openNullBackend()), nullptr);
        EXPECT_EQ(HostRuntime::open("", nullptr, 0), nullptr);
        first->asyncStop();
        first->asyncEnd();
    }
    test::RecordingDebugger debugger;
    auto runtime = HostRuntime::open("", &debugger, 0);
    ASSERT_NE(runtime, nullptr);
    // A stale stop request would suspend the new runtime and block its pump.
    ASSERT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_USEREVENT, SDL_LASTEVENT), 0);
    EXPECT_TRUE(runtime->pump().running());
    EXPECT_FALSE(runtime->pump().paused());
    runtime->setTitle("Game", "Quit now?");
    answer = false;
    askedCount = 0;
    runtime->pump().setClosePromptAnswer(recordAndAnswer);
    SDL_Event event{};
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_TRUE(runtime->idle()) << "answered Cancel";
    EXPECT_TRUE(runtime->hasDebugger());
    EXPECT_EQ(std::pair(askedCount, asked), std::pair(1, std::string("Game: Quit now?")));
    answer = true;
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = SDL_GetWindowID(static_cast<SdlVideo&>(runtime->video()).window()) + 1;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_TRUE(runtime->idle());
    event.window.windowID -= 1;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_FALSE(runtime->idle());
    EXPECT_FALSE(runtime->pump().running());
    EXPECT_FALSE(runtime->hasDebugger());
    runtime.reset();

    runtime = HostRuntime::open("", nullptr, openNullBackend());
    ASSERT_NE(runtime, nullptr);
    runtime->setTitle("Game", "Quit now?");
    runtime->pump().requestClose();
    EXPECT_FALSE(runtime->pump().running());
    EXPECT_FALSE(runtime->idle());
    runtime.reset();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// Debugger events reach the attached debugger or nobody; an info or error report reaches it
// once, detaches it and ends the program (reports without a debugger end nothing).
TEST(HostDebuggerRelay, ForwardsEventsAndAReportDetachesTheDebuggerAndEndsTheProgram) {
    for (const int how : {0, 1, 2}) {  // no debugger; an info report; an error report
        test::RecordingDebugger debugger;
        auto runtime = HostRuntime::open("", how != 0 ? &debugger : nullptr, openNullBackend());
        ASSERT_NE(runtime, nullptr);
        EXPECT_EQ(runtime->hasDebugger(), how != 0);
        runtime->debugStmt(42, "main.bb");
        runtime->debugEnter(1, 2, 3);
        runtime->debugLeave();
        runtime->debugLog("hello");
        for (const char* message : {"first", "second"}) {  // the second reaches nobody
            if (how != 2) runtime->debugInfo(message);
            if (how != 1) runtime->debugError(message);
        }
        EXPECT_EQ(runtime->pump().running(), how == 0) << how;
        // The program is suspended on its way out, after the debugger was detached.
        EXPECT_EQ(runtime->pump().paused(), how != 0);
        EXPECT_EQ(runtime->idle(), how == 0);
        EXPECT_FALSE(runtime->hasDebugger());
        runtime->debugLog("after");
        runtime.reset();
        const std::vector<std::string> first{"first"}, none;
        const std::vector<std::string> relayed{"stmt 42 main.bb", "enter 1 2 3", "leave",
                                               "log hello"};
        EXPECT_EQ(debugger.infos, how == 1 ? first : none);
        EXPECT_EQ(debugger.errors, how == 2 ? first : none);
        EXPECT_EQ(debugger.stops, 0);
        EXPECT_EQ(debugger.events, how == 0 ? none : relayed) << "later events reach nobody";
    }
}

}  // namespace
}  // namespace tx
