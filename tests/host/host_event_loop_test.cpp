// The pump: requests from other threads, suspend and resume, closing the window, delay. On the
// null backend, whose event queue the tests fill.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "end_request.h"
#include "host_runtime.h"
#include "modal_dialog.h"
#include "null_events.h"
#include "recording_debugger.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

// What the close prompt was asked with, and what it answers.
std::string askedTitle;
std::string askedPrompt;
int askedCount = 0;
bool answer = false;
bool recordAndAnswer(const std::string& title, const std::string& prompt) {
    askedTitle = title;
    askedPrompt = prompt;
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
    void pushWindowClose() { events->post(HostEvent::close); }

    test::RecordingDebugger debugger;
    std::unique_ptr<HostRuntime> runtime;
    EventSource* events = nullptr;  // owned by the runtime
};

TEST_F(HostEventLoop, StoppedProgramWaitsInIdleUntilRunArrives) {
    runtime->asyncRun();  // not suspended: ignored
    EXPECT_TRUE(runtime->idle());
    EXPECT_EQ(debugger.runs.load(), 0);
    runtime->stop();
    EXPECT_TRUE(runtime->pump().paused());
    runtime->stop();  // already suspended: nothing more
    EXPECT_EQ(debugger.stops.load(), 1);

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
    EXPECT_EQ(debugger.runs.load(), 1);
}

// Closing the window asks the prompt: Cancel keeps the program running, OK ends it; without a
// way to show the prompt (headless, no answer set) nobody can answer and the program ends.
TEST_F(HostEventLoop, ClosePromptDecidesWhetherTheProgramEnds) {
    for (const int how : {0, 1, 2}) {
        runtime->setTitle("Game", "Quit now?");
        if (how < 2) runtime->pump().setClosePromptAnswer(recordAndAnswer);
        answer = how == 1;
        askedCount = 0;
        if (how == 0) pushWindowClose();
        if (how != 0) runtime->pump().requestClose();
        EXPECT_EQ(runtime->idle(), how == 0) << how;
        EXPECT_EQ(runtime->hasDebugger(), how == 0);
        EXPECT_EQ(runtime->pump().running(), how == 0);
        if (how == 0) {
            EXPECT_EQ(askedCount, 1);
            EXPECT_EQ(askedTitle, "Game");
            EXPECT_EQ(askedPrompt, "Quit now?");
        }
        runtime.reset();
        SetUp();
    }
}

TEST_F(HostEventLoop, DelayPumpsAndWaits) {
    EXPECT_TRUE(runtime->delay(0));
    EXPECT_TRUE(runtime->delay(-5));
    EXPECT_TRUE(runtime->delay(30));
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

TEST(HostDialogs, TervexNoDialogsTurnsThemOff) {
    const std::pair<const char*, bool> cases[] = {
        {nullptr, false}, {"", false}, {"0", false}, {"1", true}, {"yes", true}};
    for (const auto& [value, off] : cases) {
        if (value == nullptr)
            unsetenv("TERVEX_NO_DIALOGS");
        else
            setenv("TERVEX_NO_DIALOGS", value, 1);
        EXPECT_EQ(dialogsTurnedOff(), off) << (value != nullptr ? value : "unset");
    }
    unsetenv("TERVEX_NO_DIALOGS");
}

}  // namespace
}  // namespace tx
